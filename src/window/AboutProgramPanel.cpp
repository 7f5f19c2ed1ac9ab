#include "window/AboutProgramPanel.h"

#include "front/FileVersions.h"
#include "widgets/LinkLabel.h"
#include "runtime/ProgramIdentity.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QCoreApplication>

#include <algorithm>
#include <tuple>
#include <utility>

TAboutProgramPanel *AboutProgramPanel = nullptr;

namespace {

const QString NoVersion = QStringLiteral("--------------------");
const QColor Navy(0x00, 0x00, 0x80);
const QColor Maroon(0x80, 0x00, 0x00);

void setTextColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(role, color);
    widget->setPalette(pal);
}

QLabel *createStaticText(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

QLabel *createVersionLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    QLabel *label = createStaticText(parent, name, text, geometry);
    setTextColor(label, QPalette::WindowText, Maroon);
    // At the dialog's 17 px "G740Demo:" is wider than its 93 px and its colon
    // would hide under the value field beside it.
    QFont font = label->font();
    font.setPixelSize(16);
    label->setFont(font);
    return label;
}

// A value field: white, in a raised-and-sunken ("bumped") frame, fixed size.
QLabel *createVersionField(QWidget *parent, const char *name, const QRect &geometry)
{
    QLabel *field = createStaticText(parent, name, NoVersion, geometry);
    field->setFixedSize(geometry.size());
    field->setFrameStyle(QFrame::Box | QFrame::Raised);
    field->setLineWidth(1);
    field->setMidLineWidth(0);
    field->setAlignment(Qt::AlignCenter);
    field->setAutoFillBackground(true);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setTextColor(field, QPalette::Window, Qt::white);
    return field;
}

// Read-only, borderless text on the dialog's background, centred lines.
QLabel *createMemo(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    QLabel *memo = createStaticText(parent, name, text, geometry);
    memo->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    memo->setWordWrap(true);
    return memo;
}

} // namespace

TAboutProgramPanel::TAboutProgramPanel(QWidget *parent, const QStringList &libraryCandidates,
                                       const QString &sysfsRoot)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AboutProgramPanel"));
    setWindowTitle(QCoreApplication::translate("AboutProgramPanel", "О программе ..."));
    setFixedSize(485, 336);
    setSizeGripEnabled(false);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(17);
    setFont(arial);

    createDescription();
    createContacts();
    createVersions();

    OkLMDButton = new QPushButton(QStringLiteral("OK"), this);
    OkLMDButton->setObjectName(QStringLiteral("OkLMDButton"));
    OkLMDButton->setGeometry(35, 241, 154, 84);
    QFont okFont = OkLMDButton->font();
    okFont.setPixelSize(60);
    okFont.setBold(true);
    okFont.setItalic(true);
    OkLMDButton->setFont(okFont);
    setTextColor(OkLMDButton, QPalette::ButtonText, Navy);
    OkLMDButton->setCursor(Qt::PointingHandCursor);
    OkLMDButton->setDefault(true);
    OkLMDButton->setFocus();
    connect(OkLMDButton, &QPushButton::clicked, this, &TAboutProgramPanel::OkLMDButtonClick);

    readVersions(libraryCandidates, sysfsRoot);
}

TAboutProgramPanel::~TAboutProgramPanel()
{
    // The installed hook refers to this dialog; it must not outlive it.
    FormHide();
}

void TAboutProgramPanel::createDescription()
{
    createMemo(this, "DescriptionMemo",
               QCoreApplication::translate("AboutProgramPanel", "g740demo управляет USB-генератором качающейся частоты G-740: "
                              "задаёт начальную частоту, шаг и число шагов, интервал, "
                              "усиление и смещение выхода и сразу показывает значения, "
                              "которые выдаст аппаратура."),
               QRect(3, 0, 478, 122));
}

void TAboutProgramPanel::createContacts()
{
    createStaticText(this, "HomePageLabel", QCoreApplication::translate("AboutProgramPanel", "Страница проекта:"), QRect(3, 127, 150, 21))
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QUrl homePage(ProgramIdentity::homePage());
    HomePageLinkLabel = new LinkLabel(homePage.host(), homePage, this);
    HomePageLinkLabel->setObjectName(QStringLiteral("HomePageLinkLabel"));
    HomePageLinkLabel->setGeometry(158, 127, 320, 21);

    createStaticText(this, "SupportMailLabel", QCoreApplication::translate("AboutProgramPanel", "Поддержка:"), QRect(3, 149, 150, 21))
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SupportMailLinkLabel = new LinkLabel(QStringLiteral("support@g740demo.example.org"),
                                         QUrl(QStringLiteral("mailto:support@g740demo.example.org"
                                                             "?subject=g740demo")),
                                         this);
    SupportMailLinkLabel->setObjectName(QStringLiteral("SupportMailLinkLabel"));
    SupportMailLinkLabel->setGeometry(158, 149, 320, 21);

    createMemo(this, "ContactMemo",
               QCoreApplication::translate("AboutProgramPanel", "В письме о неполадке укажите версии, приведённые ниже."),
               QRect(3, 176, 480, 46));
}

void TAboutProgramPanel::createVersions()
{
    VersionsLMDGroupBox = new QGroupBox(QCoreApplication::translate("AboutProgramPanel", "Версии"), this);
    VersionsLMDGroupBox->setObjectName(QStringLiteral("VersionsLMDGroupBox"));
    // Its bottom a little above the dialog's, level with the OK button's.
    VersionsLMDGroupBox->setGeometry(211, 222, 238, 106);

    // The rows share what the style leaves inside the frame and below the
    // title: placed by fixed numbers, the first field would cover the frame's
    // top line and the last one its bottom.
    const QRect area = VersionsLMDGroupBox->contentsRect();
    constexpr int Rows = 3;
    const int pitch = area.height() / Rows;
    const int fieldHeight = std::min(26, pitch - 2);
    const auto row = [&](int i, int labelX, const char *labelName, const QString &label, const char *fieldName) {
        const int top = area.top() + i * pitch + (pitch - fieldHeight) / 2;
        constexpr int LabelHeight = 21;
        QLabel *text = createVersionLabel(VersionsLMDGroupBox, labelName, label,
                                          QRect(labelX, top + (fieldHeight - LabelHeight) / 2, 93, LabelHeight));
        return std::pair(text, createVersionField(VersionsLMDGroupBox, fieldName, QRect(96, top, 136, fieldHeight)));
    };
    std::tie(G740DemoVersionLabelLMDStaticText, G740DemoVersionLMDStaticText) =
        row(0, 7, "G740DemoVersionLabelLMDStaticText", QStringLiteral("G740Demo:"), "G740DemoVersionLMDStaticText");
    std::tie(ModlinkVersionLabelLMDStaticText, ModlinkVersionLMDStaticText) =
        row(1, 7, "ModlinkVersionLabelLMDStaticText", QStringLiteral("Modlink:"), "ModlinkVersionLMDStaticText");
    std::tie(MlinkdrvVersionLabelLMDStaticText, MlinkdrvVersionLMDStaticTextLMDStaticText) =
        row(2, 8, "MlinkdrvVersionLabelLMDStaticText", QStringLiteral("Mlinkdrv:"),
            "MlinkdrvVersionLMDStaticTextLMDStaticText");
}

// A field keeps its hyphens when its file has no version information.
void TAboutProgramPanel::readVersions(const QStringList &libraryCandidates, const QString &sysfsRoot)
{
    if (const auto version = FileVersions::programVersion())
        G740DemoVersionLMDStaticText->setText(*version);
    const QString libraryFile = FileVersions::deviceLibraryFile(libraryCandidates);
    if (!libraryFile.isEmpty()) {
        ModlinkVersionLMDStaticText->setText(FileVersions::versionFromLibraryFileName(QFileInfo(libraryFile).fileName()));
        // The field is narrow; the file's path is one hover away.
        ModlinkVersionLMDStaticText->setToolTip(libraryFile);
    }
    if (const auto version = FileVersions::kernelModuleVersion(QLatin1String(DriverModuleName), sysfsRoot))
        MlinkdrvVersionLMDStaticTextLMDStaticText->setText(*version);
}

void TAboutProgramPanel::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TAboutProgramPanel::hideEvent(QHideEvent *event)
{
    FormHide();
    QDialog::hideEvent(event);
}

void TAboutProgramPanel::FormShow()
{
    Application *app = Application::instance();
    // A second show event (a restore from minimised) must not save the
    // dialog's own hook as the previous one.
    if (!app || m_keyHookInstalled)
        return;
    m_savedKeyHook = app->setKeyHook([this](QKeyEvent *key) { return AboutProgramShortCut(key); });
    m_keyHookInstalled = true;
}

void TAboutProgramPanel::FormHide()
{
    if (!m_keyHookInstalled)
        return;
    m_keyHookInstalled = false;
    if (Application *app = Application::instance())
        app->setKeyHook(std::move(m_savedKeyHook));
    m_savedKeyHook = nullptr;
}

void TAboutProgramPanel::OkLMDButtonClick()
{
    done(QDialog::Accepted);
}

bool TAboutProgramPanel::AboutProgramShortCut(QKeyEvent *key)
{
    if (key->key() != Qt::Key_Escape)
        return false;
    done(QDialog::Accepted);
    return true;
}
