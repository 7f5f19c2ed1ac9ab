#pragma once

#include "window/DetectionWindow.h"
#include "device/ModuleInterface.h"
#include "generator/GeneratorPars.h"

#include <QCursor>
#include <QEvent>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class EllipseIndicator;
class Instrument;
class QAction;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class TG740GeneratorFrame;
class TIniFile;
class TSweepWindow;
class TInitDevicesThread;

// The program's one window: the module area (detection indicator, slot,
// "Обнаружить G-740"), the settings area and the generator area, which holds
// the generator panel. It is the window on the instrument: it starts the
// module detections, which reach it through DetectionWindow, and runs the
// closing sequence.
class TMainForm : public QWidget, public DetectionWindow
{
    Q_OBJECT

public:
    // The private event with which the window asks itself for a detection.
    static constexpr QEvent::Type StartInitDevicesThreadEvent = static_cast<QEvent::Type>(1124);

    // instrument: the one the window shows (not owned); without one the
    // window has an instrument of its own.
    explicit TMainForm(QWidget *parent = nullptr, Instrument *instrument = nullptr);
    ~TMainForm() override;

    Instrument &instrument() const { return *m_instrument; }

    // The parameter set (--preset) that replaces the settings file's record
    // where the first successful detection applies it; empty: none.
    void setPresetName(const QString &name) { m_presetName = name; }
    // --slot: the only slot looked in, named in the title.
    void setSlotChoice(std::optional<quint16> slot);

    // Controls.
    QGroupBox *LoadingTestsLMDGroupBox = nullptr;
    EllipseIndicator *ModuleDetectionLMDShapeControl = nullptr;
    QLabel *ModuleDetectionLMDStaticText = nullptr;
    QLabel *VirtualSlotLMDStaticText = nullptr;
    QLabel *VirtualSlotLabelLMDStaticText = nullptr;
    QPushButton *FindModuleLMDButton = nullptr;
    QGroupBox *SaveIniSettingLMDGroupBox = nullptr;
    QCheckBox *AutoSaveSettingsLMDCheckBox = nullptr;
    QPushButton *SaveSettingsButton = nullptr;
    QGroupBox *GeneratorParsLMDGroupBox = nullptr;
    TG740GeneratorFrame *G740GeneratorFrame = nullptr;
    TSweepWindow *SweepWindow = nullptr; // made on first use, then shown and hidden

    QMenu *PopupMenu = nullptr;
    QAction *RebootModuleMenuItem = nullptr;
    QAction *N1 = nullptr;
    QAction *SaveDefaultSettings = nullptr;
    QAction *SaveCurrentSettings = nullptr;
    QAction *N3 = nullptr;
    QAction *SweepMenuItem = nullptr;
    QAction *ParameterSetsMenuItem = nullptr;
    QAction *AboutProgram = nullptr;
    QMenu *LanguageMenu = nullptr;
    QAction *BreakLine = nullptr;
    QAction *ApplicationExit = nullptr;

    // State. All four flags stay false until FormCreate.
    bool DetectionRequestAllowed = false;
    bool FirstDetection = false;
    bool DetectionRunning = false;
    bool Busy = false;
    std::uint16_t VirtualSlot = 0;
    ::ModuleDescription ModuleDescription;
    GENERATOR_PARS GeneratorPars;
    std::unique_ptr<TIniFile> IniFile; // the settings-file object of the last save

    // Whether a right click opens PopupMenu; the detection switches it off.
    bool popupMenuAutoPopup() const { return m_popupMenuAutoPopup; }
    void setPopupMenuAutoPopup(bool on) { m_popupMenuAutoPopup = on; }

    void RequestModuleDetection();
    void OnStartInitDevicesThreadThread(QEvent *Message);
    void InitDevicesThreadTerminate(TInitDevicesThread *Sender);
    // The application's key hook: sets Handled to consume the key.
    void ApplicationShortCut(QKeyEvent *Msg, bool &Handled);
    // Gives the panel the interface and GeneratorPars after a successful
    // detection, and sets the auto-save box from SettingsFile (none: off).
    bool InitApplicationPars(const TIniFile *SettingsFile);
    // Writes the default settings to path; false after a reported failure.
    bool CreateDefaultIniFile(const QString &Path);

    // DetectionWindow
    Instrument &detectionInstrument() override { return *m_instrument; }
    QWidget *reportParent() override { return this; }
    void detectionStarted() override;
    bool isFirstDetection() const override { return FirstDetection; }
    bool createDefaultSettings(const QString &path) override { return CreateDefaultIniFile(path); }
    GENERATOR_PARS &detectionRecord() override { return GeneratorPars; }
    void keepPanelRecord() override;
    void showDetectionResult(bool moduleOk) override;
    void applyDetectedSettings(const TIniFile *settingsFile) override;
    void finishDetection(bool moduleOk) override;
    // A module lost while in use, or back: shown as a failed or a successful
    // detection, without a box; text says what happened.
    void showModulePresence(bool present, const QString &text);

    // Ends the program through the closing sequence. While a detection runs
    // the end waits for it, since its steps use this window.
    void terminateApplication();
    // The same for a request from outside (a signal, the end of the session):
    // every open box is answered with its safe answer first, and no box
    // opens from then on.
    void terminateOnRequest();

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormResize();
    void FormDestroy();
    void FindModuleLMDButtonClick();
    void SaveSettingsButtonClick();
    void SaveDefaultSettingsClick();
    void SaveCurrentSettingsClick();
    void AutoSaveSettingsLMDCheckBoxChange();
    void SweepMenuItemClick();
    void ParameterSetsMenuItemClick();
    void AboutProgramClick();
    void ApplicationExitClick();

signals:
    // Emitted by the last step of every detection, whatever its outcome.
    void detectionFinished();

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createPopupMenu();
    void chooseLanguage(const QString &code);
    void createGeneratorPanel();
    bool isMenuShortcut(const QKeyEvent *key) const;
    // The save of current settings. Only a save the operator asks for may
    // replace a settings file that could not be read; auto-save keeps it.
    void saveCurrentSettings(bool operatorRequest);
    // Reads the settings file back into GeneratorPars, the panel and the
    // auto-save box.
    void showSettingsFile(const QString &path);
    // Replaces GeneratorPars by the --preset set, once; a missing set is
    // shown and the settings file's record stays.
    void applyPreset();
    void ControlsState(bool Finished, bool ModuleOk);
    void ModuleDisplay(bool Finished, bool ModuleOk);

    Instrument *m_instrument;
    bool m_detectedOk = false; // the last detection found a usable module
    std::optional<QCursor> m_savedCursor; // none: no override cursor was set

    bool m_popupMenuAutoPopup = true;
    bool m_terminationPending = false;
    QString m_presetName;
};
