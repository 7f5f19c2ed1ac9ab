#pragma once

#include "window/Application.h"
#include "device/DeviceLibrary.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// The about dialog: what the program does, where to find the project, and the
// versions of the program, of the device library and of its kernel driver,
// read once when the dialog is created. While it is shown, Escape closes it
// instead of asking the main window's exit question.
class TAboutProgramPanel : public QDialog
{
    Q_OBJECT

public:
    // parent: the window it is centred on. libraryCandidates: the device
    // library's file names, as the loader tries them. sysfsRoot: where the
    // kernel publishes its modules.
    explicit TAboutProgramPanel(QWidget *parent,
                                const QStringList &libraryCandidates = DeviceLibrary::defaultCandidates(),
                                const QString &sysfsRoot = QStringLiteral("/sys"));
    ~TAboutProgramPanel() override;

    // The kernel module that drives the device.
    static constexpr const char *DriverModuleName = "mlinkdrv";

    QGroupBox *VersionsLMDGroupBox;
    QLabel *G740DemoVersionLabelLMDStaticText;
    QLabel *G740DemoVersionLMDStaticText;
    QLabel *ModlinkVersionLabelLMDStaticText;
    QLabel *ModlinkVersionLMDStaticText;
    QLabel *MlinkdrvVersionLabelLMDStaticText;
    QLabel *MlinkdrvVersionLMDStaticTextLMDStaticText;
    QPushButton *OkLMDButton;
    LinkLabel *HomePageLinkLabel;
    LinkLabel *SupportMailLinkLabel;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormShow();
    void FormHide();
    void OkLMDButtonClick();
    bool AboutProgramShortCut(QKeyEvent *key);

    void createDescription();
    void createContacts();
    void createVersions();
    void readVersions(const QStringList &libraryCandidates, const QString &sysfsRoot);

    Application::KeyHook m_savedKeyHook;
    bool m_keyHookInstalled = false;
};

// The program's one about dialog, created hidden at start-up.
extern TAboutProgramPanel *AboutProgramPanel;
