#include "window/MainForm.h"

#include "window/AboutProgramPanel.h"
#include "window/Application.h"
#include "window/ParameterSetsDialog.h"
#include "window/SweepWindow.h"
#include "window/WidgetLook.h"
#include "window/WrapPushButton.h"
#include "window/G740GeneratorFrame.h"
#include "window/InitDevicesThread.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "instrument/ModuleWatch.h"
#include "widgets/EllipseIndicator.h"
#include "widgets/MessageBox.h"
#include "settings/IniFile.h"
#include "front/Language.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QActionGroup>
#include <QScreen>
#include <QSignalBlocker>

#include <clocale>
#include <utility>

namespace {

// The outer size of a window with a fixed single border and a caption on
// Windows exceeds its client area by these amounts; the layout was made for
// them, so the client area gets the room that the outer size implies.
constexpr int WindowsFrameWidth = 6;
constexpr int WindowsFrameHeight = 31;

const QColor Navy(0, 0, 128);

QString programPath()
{
    return SettingsProgramPath();
}

// A handler bound to a signal, with an escaping exception shown as the
// application shows one. Caught here, the exception never unwinds through
// Qt's own frames between the signal and the event loop.
template <typename Handler>
auto guarded(TMainForm *form, Handler handler)
{
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (const std::exception &error) {
            Application::showException(QString::fromUtf8(error.what()));
        } catch (...) {
            Application::showException(QString());
        }
    };
}

// The screen cursor is the application's override cursor; none means the
// widgets' own cursors.
std::optional<QCursor> screenCursor()
{
    if (const QCursor *cursor = QGuiApplication::overrideCursor())
        return *cursor;
    return std::nullopt;
}

void setScreenCursor(const std::optional<QCursor> &cursor)
{
    if (QGuiApplication::overrideCursor()) {
        if (cursor)
            QGuiApplication::changeOverrideCursor(*cursor);
        else
            QGuiApplication::restoreOverrideCursor();
    } else if (cursor) {
        QGuiApplication::setOverrideCursor(*cursor);
    }
}

// The system's colours, whatever the state of the widget that asks.
QColor buttonShadowColor()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Dark);
}

QString UnknownModuleCaption()
{
    return QCoreApplication::translate("MainForm", "Модуль ??????");
}

// Every number of the program is written and read with "." whatever the
// user's locale says.
void forceDecimalPoint()
{
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace

TMainForm::TMainForm(QWidget *parent, Instrument *instrument)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
    , m_instrument(instrument ? instrument : new Instrument(this))
{
    setObjectName(QStringLiteral("MainForm"));
    createControls();
    createPopupMenu();
    createGeneratorPanel();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
    new ModuleWatch(*m_instrument, this);
    connect(m_instrument, &Instrument::moduleLost, this, [this](const QString &text) { showModulePresence(false, text); });
    connect(m_instrument, &Instrument::moduleFound, this, [this](const QString &text) { showModulePresence(true, text); });
}

TMainForm::~TMainForm()
{
    FormDestroy();
    if (Application *application = Application::instance())
        application->setKeyHook({});
}

void TMainForm::createControls()
{
    setWindowTitle(QCoreApplication::translate("MainForm", "Модуль G-740. Генератор."));
    setFont(pixelFont(QStringLiteral("Arial"), 23));
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        setTextColor(this, role, Qt::blue);
    setFixedSize(1049, 811);

    auto makeGroup = [this](const char *name, const QString &caption, const QRect &geometry) {
        auto *group = new QGroupBox(caption, this);
        group->setObjectName(QLatin1String(name));
        group->setGeometry(geometry);
        return group;
    };
    auto makeLabel = [](const char *name, const QString &text, QWidget *parent, const QRect &geometry) {
        auto *label = new QLabel(text, parent);
        label->setObjectName(QLatin1String(name));
        label->setFont(pixelFont(QStringLiteral("Times New Roman"), 18));
        label->setGeometry(geometry);
        return label;
    };
    auto makeButton = [](const char *name, const QString &text, QWidget *parent, const QRect &geometry) {
        auto *button = new WrapPushButton(text, parent);
        button->setObjectName(QLatin1String(name));
        button->setFont(pixelFont(QStringLiteral("Courier New"), 23, true));
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(geometry);
        return button;
    };
    auto setAreaLook = [](QGroupBox *group) {
        group->setFont(pixelFont(QStringLiteral("Arial"), 18));
        setTextColor(group, QPalette::WindowText, Navy);
    };

    LoadingTestsLMDGroupBox = makeGroup("LoadingTestsLMDGroupBox", QCoreApplication::translate("MainForm", "Модуль ??????"), {2, 0, 428, 100});
    setAreaLook(LoadingTestsLMDGroupBox);
    ModuleDetectionLMDShapeControl = new EllipseIndicator(LoadingTestsLMDGroupBox);
    ModuleDetectionLMDShapeControl->setObjectName(QStringLiteral("ModuleDetectionLMDShapeControl"));
    ModuleDetectionLMDShapeControl->setGeometry(8, 24, 40, 40);
    ModuleDetectionLMDShapeControl->setBrushColor(
        QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
    ModuleDetectionLMDStaticText = makeLabel("ModuleDetectionLMDStaticText", QCoreApplication::translate("MainForm", "Обнаружение модуля"),
                                             LoadingTestsLMDGroupBox, {51, 32, 168, 22});
    VirtualSlotLMDStaticText = makeLabel("VirtualSlotLMDStaticText", QStringLiteral("8"), LoadingTestsLMDGroupBox,
                                         {6, 67, 47, 27});
    VirtualSlotLMDStaticText->setFixedSize(47, 27);
    VirtualSlotLMDStaticText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    VirtualSlotLMDStaticText->setAlignment(Qt::AlignCenter);
    VirtualSlotLMDStaticText->setAutoFillBackground(true);
    QPalette slotPalette = VirtualSlotLMDStaticText->palette();
    slotPalette.setColor(QPalette::Window, Qt::white);
    VirtualSlotLMDStaticText->setPalette(slotPalette);
    VirtualSlotLabelLMDStaticText = makeLabel("VirtualSlotLabelLMDStaticText", QCoreApplication::translate("MainForm", "Виртуальный слот"),
                                              LoadingTestsLMDGroupBox, {59, 68, 146, 22});
    FindModuleLMDButton = makeButton("FindModuleLMDButton", QCoreApplication::translate("MainForm", "Обнаружить G-740"),
                                     LoadingTestsLMDGroupBox, {228, 28, 192, 55});
    FindModuleLMDButton->setEnabled(false);

    SaveIniSettingLMDGroupBox = makeGroup("SaveIniSettingLMDGroupBox", QCoreApplication::translate("MainForm", "Настройки"), {430, 0, 207, 100});
    setAreaLook(SaveIniSettingLMDGroupBox);
    AutoSaveSettingsLMDCheckBox = new QCheckBox(QCoreApplication::translate("MainForm", "Авто Сохранение"), SaveIniSettingLMDGroupBox);
    AutoSaveSettingsLMDCheckBox->setObjectName(QStringLiteral("AutoSaveSettingsLMDCheckBox"));
    AutoSaveSettingsLMDCheckBox->setGeometry(24, 27, 157, 24);
    // In the area's Arial the caption does not fit beside the box.
    AutoSaveSettingsLMDCheckBox->setFont(pixelFont(QStringLiteral("Times New Roman"), 18));
    SaveSettingsButton = makeButton("SaveSettingsButton", QCoreApplication::translate("MainForm", "Сохранить"), SaveIniSettingLMDGroupBox,
                                    {24, 56, 160, 33});
    SaveSettingsButton->setEnabled(false);

    GeneratorParsLMDGroupBox = makeGroup("GeneratorParsLMDGroupBox", QCoreApplication::translate("MainForm", "Генератор"), {1, 100, 1046, 709});

    connect(FindModuleLMDButton, &QPushButton::clicked, this, guarded(this, &TMainForm::FindModuleLMDButtonClick));
    connect(SaveSettingsButton, &QPushButton::clicked, this, guarded(this, &TMainForm::SaveSettingsButtonClick));
    connect(AutoSaveSettingsLMDCheckBox, &QCheckBox::toggled, this,
            guarded(this, &TMainForm::AutoSaveSettingsLMDCheckBoxChange));
}

void TMainForm::chooseLanguage(const QString &code)
{
    Language::save(SettingsFilePath(), code);
    showMessageBox(this,
                   QStringLiteral("Язык интерфейса сменится при следующем запуске программы.\n"
                                  "The interface language will change at the next start of the program."),
                   QStringLiteral("Язык / Language"), QMessageBox::Information);
}

void TMainForm::createPopupMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopupMenu->setToolTipsVisible(true);
    auto addItem = [this](const char *name, const QString &caption, const QKeySequence &shortcut) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        PopupMenu->addAction(action);
        addAction(action); // the shortcut works while the window has the focus
        return action;
    };
    auto addSeparator = [this](const char *name) {
        QAction *separator = PopupMenu->addSeparator();
        separator->setObjectName(QLatin1String(name));
        return separator;
    };

    RebootModuleMenuItem = addItem("RebootModuleMenuItem", QCoreApplication::translate("MainForm", "Перезагрузка Модуля"),
                                   QKeySequence(Qt::CTRL | Qt::Key_M));
    QFont bold = RebootModuleMenuItem->font();
    bold.setBold(true);
    RebootModuleMenuItem->setFont(bold);
    PopupMenu->setDefaultAction(RebootModuleMenuItem);
    N1 = addSeparator("N1");
    SaveDefaultSettings = addItem("SaveDefaultSettings", QCoreApplication::translate("MainForm", "Сохранение штатных настроек"),
                                  QKeySequence(Qt::CTRL | Qt::Key_D));
    SaveCurrentSettings = addItem("SaveCurrentSettings", QCoreApplication::translate("MainForm", "Сохранение текущих настроек"),
                                  QKeySequence(Qt::CTRL | Qt::Key_S));
    N3 = addSeparator("N3");
    SweepMenuItem = addItem("SweepMenuItem", QCoreApplication::translate("MainForm", "Развёртка ..."), QKeySequence(Qt::CTRL | Qt::Key_G));
    ParameterSetsMenuItem = addItem("ParameterSetsMenuItem", QCoreApplication::translate("MainForm", "Наборы параметров ..."),
                                    QKeySequence(Qt::CTRL | Qt::Key_P));
    AboutProgram = addItem("AboutProgram", QCoreApplication::translate("MainForm", "О программе ..."), QKeySequence(Qt::CTRL | Qt::Key_A));
    // The language's item reads the same in both languages, so that it can
    // always be found; the choice takes effect at the next start.
    LanguageMenu = PopupMenu->addMenu(QStringLiteral("Язык / Language"));
    LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
    LanguageMenu->menuAction()->setObjectName(QStringLiteral("LanguageMenuItem"));
    addAction(LanguageMenu->menuAction());
    auto *languages = new QActionGroup(this);
    for (const auto &[code, caption] : {std::pair{Language::Russian, QStringLiteral("Русский")},
                                        std::pair{Language::English, QStringLiteral("English")}}) {
        QAction *action = LanguageMenu->addAction(caption);
        action->setObjectName(QStringLiteral("LanguageMenuItem_") + code);
        action->setCheckable(true);
        action->setChecked(code == Language::current());
        languages->addAction(action);
        connect(action, &QAction::triggered, this, [this, code = code] {
            try {
                chooseLanguage(code);
            } catch (const std::exception &error) {
                Application::showException(QString::fromUtf8(error.what()));
            }
        });
    }
    BreakLine = addSeparator("BreakLine");
    ApplicationExit = addItem("ApplicationExit", QCoreApplication::translate("MainForm", "Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    ApplicationExit->setToolTip(QCoreApplication::translate("MainForm", "Спокойный выход из программы"));
    ApplicationExit->setStatusTip(ApplicationExit->toolTip());

    connect(RebootModuleMenuItem, &QAction::triggered, this, guarded(this, &TMainForm::FindModuleLMDButtonClick));
    connect(SaveDefaultSettings, &QAction::triggered, this, guarded(this, &TMainForm::SaveDefaultSettingsClick));
    connect(SaveCurrentSettings, &QAction::triggered, this, guarded(this, &TMainForm::SaveCurrentSettingsClick));
    connect(SweepMenuItem, &QAction::triggered, this, guarded(this, &TMainForm::SweepMenuItemClick));
    connect(ParameterSetsMenuItem, &QAction::triggered, this, guarded(this, &TMainForm::ParameterSetsMenuItemClick));
    connect(AboutProgram, &QAction::triggered, this, guarded(this, &TMainForm::AboutProgramClick));
    connect(ApplicationExit, &QAction::triggered, this, guarded(this, &TMainForm::ApplicationExitClick));

    // The menu's shortcuts come before the focused control's own use of the
    // key (an edit's Ctrl+A), as they must work wherever the focus is.
    qApp->installEventFilter(this);
}

bool TMainForm::isMenuShortcut(const QKeyEvent *key) const
{
    const QKeySequence pressed(key->keyCombination());
    for (const QAction *action : PopupMenu->actions())
        if (!action->isSeparator() && action->shortcut() == pressed)
            return true;
    return false;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // A focused control that claims the key through ShortcutOverride would
    // keep the shortcut from firing; filtering the event out unaccepted
    // leaves the key to the shortcut.
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this && isMenuShortcut(static_cast<QKeyEvent *>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TMainForm::createGeneratorPanel()
{
    G740GeneratorFrame = new TG740GeneratorFrame(GeneratorParsLMDGroupBox, m_instrument);
    G740GeneratorFrame->setObjectName(QStringLiteral("G740GeneratorFrame"));
    G740GeneratorFrame->move(2, 25);
    const QRect panel = G740GeneratorFrame->geometry();
    GeneratorParsLMDGroupBox->resize(panel.x() + panel.width() + 2, panel.y() + panel.height() + 2);
    const QRect group = GeneratorParsLMDGroupBox->geometry();
    setFixedSize(group.x() + group.width() + 7 - WindowsFrameWidth,
                 group.y() + group.height() + 31 - WindowsFrameHeight);
    G740GeneratorFrame->show();
}

void TMainForm::FormCreate()
{
    if (Application *application = Application::instance()) {
        application->setKeyHook([this](QKeyEvent *key) {
            bool handled = false;
            ApplicationShortCut(key, handled);
            return handled;
        });
    }
    forceDecimalPoint();
    Busy = false;
    FirstDetection = true;
    DetectionRunning = false;
    DetectionRequestAllowed = true;
}

void TMainForm::FormActivate()
{
    forceDecimalPoint();
}

void TMainForm::FormResize()
{
    if (FirstDetection)
        RequestModuleDetection();
}

void TMainForm::FormDestroy()
{
    // A detection's steps use this window; let it end first.
    while (DetectionRunning)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (Busy)
        return;
    Busy = true;
    // The save reads the panel, so it comes before the panel goes. A save
    // that fails is shown, and the program still ends.
    if (AutoSaveSettingsLMDCheckBox->isChecked()) {
        try {
            saveCurrentSettings(false);
        } catch (const std::exception &error) {
            Application::showException(QString::fromUtf8(error.what()));
        } catch (...) {
            Application::showException(QString());
        }
    }
    delete G740GeneratorFrame; // stops the generator
    G740GeneratorFrame = nullptr;
    IniFile.reset();
    m_instrument->release();
    Busy = false;
}

void TMainForm::FindModuleLMDButtonClick()
{
    RequestModuleDetection();
}

void TMainForm::SaveSettingsButtonClick()
{
    saveCurrentSettings(true);
}

void TMainForm::saveCurrentSettings(bool operatorRequest)
{
    // Until a detection has given the panel its record, its controls are empty:
    // the settings loaded from the file are the current ones, and saving the
    // empty panel would wipe them.
    if (G740GeneratorFrame && G740GeneratorFrame->hasAppliedPars())
        G740GeneratorFrame->ReadGeneratorPars(&GeneratorPars);
    IniFile.reset();
    IniFile = std::make_unique<TIniFile>(SettingsFilePath());
    IniFile->setReplacesUnusableFile(operatorRequest);
    writeCurrentSettings(*IniFile, programPath(), AutoSaveSettingsLMDCheckBox->isChecked(), GeneratorPars);
}

void TMainForm::SaveDefaultSettingsClick()
{
    const auto answer = showMessageBox(
        this, QCoreApplication::translate("MainForm", "Записать в файл настроек значения по умолчанию? Сохранённые настройки будут потеряны."),
        QCoreApplication::translate("MainForm", "Подтвердите сохранение штатных настроек!"), QMessageBox::Question,
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    // The panel is about to show the defaults; a generator left running would
    // go on with the values that the panel no longer shows.
    if (G740GeneratorFrame && !G740GeneratorFrame->stopGenerator())
        return;
    const QString path = SettingsFilePath();
    if (!CreateDefaultIniFile(path))
        return;
    showSettingsFile(path);
}

void TMainForm::showSettingsFile(const QString &path)
{
    // What the file now holds is what the window shows and what the next
    // save or detection starts from.
    const TIniFile file(path);
    readGeneratorSettings(&file, GeneratorPars);
    if (G740GeneratorFrame && G740GeneratorFrame->hasAppliedPars()) {
        // A panel locked by a failed detection takes the record too, or the
        // next detection would bring its old values back; it stays locked.
        const bool locked = !G740GeneratorFrame->isEnabled();
        G740GeneratorFrame->ApplyGeneratorPars(TheModuleInterface, &GeneratorPars);
        if (locked)
            TInitDevicesThread::EnableSweep(GeneratorParsLMDGroupBox, false);
    }
    // In a locked settings area the save button stays as the detection left it.
    const QSignalBlocker quiet(AutoSaveSettingsLMDCheckBox->isEnabled() ? nullptr : AutoSaveSettingsLMDCheckBox);
    AutoSaveSettingsLMDCheckBox->setChecked(readAutoSaveSetting(&file));
}

void TMainForm::SaveCurrentSettingsClick()
{
    SaveSettingsButtonClick();
}

bool TMainForm::CreateDefaultIniFile(const QString &Path)
{
    const QString caption = QCoreApplication::translate("MainForm", "ОШИБКА CreateDefaultIniFile()!");
    IniFile.reset();
    if (Path.isEmpty()) {
        showMessageBox(this, QCoreApplication::translate("MainForm", "Неправильное название файла штатных настроек!"), caption);
        return false;
    }
    try {
        IniFile = std::make_unique<TIniFile>(Path); // touches no file yet
    } catch (const std::bad_alloc &) {
        showMessageBox(this, QCoreApplication::translate("MainForm", "Не могу создать файл штатных настроек '") + Path + QStringLiteral("'!"),
                       caption);
        return false;
    }
    IniFile->setReplacesUnusableFile(true); // asked for by the operator, or a file just created
    writeDefaultSettings(*IniFile, programPath());
    IniFile.reset();
    return true;
}

void TMainForm::AutoSaveSettingsLMDCheckBoxChange()
{
    SaveSettingsButton->setEnabled(!AutoSaveSettingsLMDCheckBox->isChecked());
}

void TMainForm::SweepMenuItemClick()
{
    // Until a detection has given the panel its record, the record at hand
    // is the one loaded from the settings file.
    const auto record = [this] {
        return G740GeneratorFrame && G740GeneratorFrame->hasAppliedPars() ? m_instrument->record() : GeneratorPars;
    };
    if (!SweepWindow) {
        SweepWindow = new TSweepWindow(SettingsFilePath(), this);
        connect(m_instrument, &Instrument::recordChanged, SweepWindow,
                [this, record] { SweepWindow->setGeneratorPars(record()); });
    }
    SweepWindow->setGeneratorPars(record());
    SweepWindow->show();
    SweepWindow->raise();
    SweepWindow->activateWindow();
}

void TMainForm::ParameterSetsMenuItemClick()
{
    // A set is saved as the panel shows the record, the same record a save
    // of the current settings writes.
    auto currentRecord = [this] {
        if (G740GeneratorFrame && G740GeneratorFrame->hasAppliedPars())
            G740GeneratorFrame->ReadGeneratorPars(&GeneratorPars);
        return GeneratorPars;
    };
    TParameterSetsDialog dialog(*m_instrument, SettingsFilePath(), currentRecord, this);
    connect(&dialog, &TParameterSetsDialog::setLoaded, this, [this](const GENERATOR_PARS &pars) {
        // The panel shows the instrument's new record by itself. Until a
        // detection has given the panel a record, the window's record is
        // the one the next detection applies.
        if (!G740GeneratorFrame || !G740GeneratorFrame->hasAppliedPars()) {
            GeneratorPars = pars;
            if (SweepWindow)
                SweepWindow->setGeneratorPars(GeneratorPars);
        }
        m_presetName.clear(); // the operator's choice comes after the command line's
    });
    dialog.exec();
}

void TMainForm::applyPreset()
{
    const QString name = std::exchange(m_presetName, QString());
    if (name.isEmpty())
        return;
    GENERATOR_PARS pars = GeneratorPars;
    if (const InstrumentOutcome failed = InstrumentSets(*m_instrument, SettingsFilePath()).read(name, pars)) {
        showMessageBox(this, failed->text + QCoreApplication::translate("MainForm", "\nПараметры взяты из файла настроек."),
                       QCoreApplication::translate("MainForm", "Набор параметров"), QMessageBox::Warning);
        return;
    }
    GeneratorPars = pars;
}

void TMainForm::AboutProgramClick()
{
    if (AboutProgramPanel)
        AboutProgramPanel->exec();
}

void TMainForm::ApplicationExitClick()
{
    terminateApplication();
}

void TMainForm::RequestModuleDetection()
{
    if (DetectionRunning || !DetectionRequestAllowed)
        return;
    // The detection leaves the panel stopped, so a running generator is
    // stopped first, as by its own button. If that fails the module still
    // runs, and nothing is looked for.
    if (G740GeneratorFrame && !G740GeneratorFrame->stopGenerator())
        return;
    DetectionRequestAllowed = false;
    QCoreApplication::postEvent(this, new QEvent(StartInitDevicesThreadEvent));
}

void TMainForm::OnStartInitDevicesThreadThread(QEvent *)
{
    DetectionRunning = false;
    TInitDevicesThread *thread = nullptr;
    try {
        thread = new TInitDevicesThread(this, true);
        connect(thread, &QThread::finished, this, [this, thread] { InitDevicesThreadTerminate(thread); });
        thread->start();
    } catch (...) {
    }
    if (!thread || !thread->isRunning()) {
        delete thread; // never started, so it cannot free itself
        showMessageBox(this, QCoreApplication::translate("MainForm", "Не могу открыть поток 'InitDevicesThread'!"),
                       QCoreApplication::translate("MainForm", "Ошибка OnStartInitDevicesThreadThread()!"), QMessageBox::NoIcon);
        return;
    }
    // The thread's first step sets DetectionRunning; setting it here already
    // keeps a size notification that arrives before that step from asking
    // for a second detection.
    DetectionRunning = true;
    DetectionRequestAllowed = true;
}

void TMainForm::InitDevicesThreadTerminate(TInitDevicesThread *)
{
    DetectionRunning = false;
    if (m_terminationPending)
        QCoreApplication::quit();
}

void TMainForm::ApplicationShortCut(QKeyEvent *Msg, bool &Handled)
{
    if (Msg->key() != Qt::Key_Escape)
        return;
    // Escape in an open modal box (the exit question included) or in the open
    // popup menu belongs to that box or menu.
    if (QApplication::activeModalWidget() || qobject_cast<QMenu *>(QApplication::activePopupWidget()))
        return;
    if (Busy) {
        Handled = true;
        return;
    }
    // A window locked by a detection takes no input.
    if (!isEnabled())
        return;
    // In the sweep window Escape closes that window, not the program.
    if (SweepWindow && SweepWindow->isActiveWindow())
        return;
    Busy = true;
    const auto answer = showMessageBox(this, QCoreApplication::translate("MainForm", "Действительно хотите завершить работу?"),
                                       QCoreApplication::translate("MainForm", "Подтвердите завершение!"), QMessageBox::Question,
                                       QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        Handled = true;
        terminateApplication();
    }
    Busy = false;
}

bool TMainForm::InitApplicationPars(const TIniFile *SettingsFile)
{
    if (G740GeneratorFrame)
        G740GeneratorFrame->ApplyGeneratorPars(m_instrument->moduleInterface(), &GeneratorPars);
    Busy = true; // until the detection's last sweep
    AutoSaveSettingsLMDCheckBox->setChecked(readAutoSaveSetting(SettingsFile));
    return true;
}

void TMainForm::terminateOnRequest()
{
    // Nobody may be there to answer a box: the open ones get their safe
    // answers, and whatever the detection or the closing sequence still has
    // to say goes to standard error.
    setMessageBoxesUnattended(true);
    terminateApplication();
}

void TMainForm::terminateApplication()
{
    if (DetectionRunning) {
        m_terminationPending = true;
        return;
    }
    QCoreApplication::quit();
}

// ---------------------------------------------------------------------------
// The detection's view of the window

void TMainForm::ControlsState(bool Finished, bool ModuleOk)
{
    setPopupMenuAutoPopup(Finished);
    if (!Finished) {
        m_savedCursor = screenCursor();
        setScreenCursor(QCursor(Qt::WaitCursor));
    } else {
        setScreenCursor(m_savedCursor);
    }
    Busy = true;
    TInitDevicesThread::EnableSweep(LoadingTestsLMDGroupBox, Finished);
    TInitDevicesThread::EnableSweep(SaveIniSettingLMDGroupBox, Finished && ModuleOk);
    if (!Finished)
        TInitDevicesThread::EnableSweep(GeneratorParsLMDGroupBox, false);
    Busy = false;
}

void TMainForm::ModuleDisplay(bool Finished, bool ModuleOk)
{
    const bool found = Finished && ModuleOk;
    LoadingTestsLMDGroupBox->setTitle(found ? QCoreApplication::translate("MainForm", "Модуль ") + m_instrument->moduleName()
                                            : UnknownModuleCaption());
    if (!Finished)
        ModuleDetectionLMDShapeControl->setBrushColor(buttonShadowColor());
    else
        ModuleDetectionLMDShapeControl->setBrushColor(ModuleOk ? QColor(0, 255, 0) : QColor(255, 0, 0));
    ModuleDetectionLMDStaticText->setEnabled(Finished);
    VirtualSlotLMDStaticText->setEnabled(Finished);
    VirtualSlotLabelLMDStaticText->setEnabled(Finished);
    VirtualSlotLMDStaticText->setText(found ? QString::number(m_instrument->slot()) : QString());
}

void TMainForm::detectionStarted()
{
    DetectionRunning = true;
    ControlsState(false, false);
    setEnabled(false);
    setPopupMenuAutoPopup(false);
    QCoreApplication::processEvents();
    ModuleDisplay(false, false);
}

void TMainForm::keepPanelRecord()
{
    // The panel's current parameters survive the detection. A panel that
    // never got a record (no module at the first detection) has nothing to
    // give: the settings loaded from the file carry over instead.
    if (G740GeneratorFrame && G740GeneratorFrame->hasAppliedPars())
        G740GeneratorFrame->ReadGeneratorPars(&GeneratorPars);
}

void TMainForm::showDetectionResult(bool moduleOk)
{
    if (moduleOk) {
        VirtualSlot = m_instrument->slot();
        ModuleDescription = m_instrument->moduleDescription();
    }
    ModuleDisplay(true, moduleOk);
}

void TMainForm::setSlotChoice(std::optional<quint16> slot)
{
    m_instrument->setSlotChoice(slot);
    if (slot)
        setWindowTitle(QCoreApplication::translate("MainForm", "Модуль G-740. Генератор. Виртуальный слот %1.").arg(*slot));
}

void TMainForm::showModulePresence(bool present, const QString &text)
{
    // A detection under way shows its own outcome. A module back after a
    // failed detection finds the panel without its record: the whole
    // detection gives it one.
    if (DetectionRunning)
        return;
    if (present && !m_detectedOk) {
        RequestModuleDetection();
        return;
    }
    ModuleDisplay(true, present);
    // The group alone: its controls keep the states the panel gave them.
    GeneratorParsLMDGroupBox->setEnabled(present);
    ModuleDetectionLMDStaticText->setText(present ? QCoreApplication::translate("MainForm", "Обнаружение модуля")
                                                  : QCoreApplication::translate("MainForm", "Связь потеряна"));
    ModuleDetectionLMDStaticText->setToolTip(text);
}

void TMainForm::applyDetectedSettings(const TIniFile *settingsFile)
{
    GeneratorParsLMDGroupBox->setEnabled(true);
    ModuleDetectionLMDStaticText->setText(QCoreApplication::translate("MainForm", "Обнаружение модуля"));
    ModuleDetectionLMDStaticText->setToolTip(QString());
    TInitDevicesThread::EnableSweep(GeneratorParsLMDGroupBox, true);
    applyPreset();
    InitApplicationPars(settingsFile);
}

void TMainForm::finishDetection(bool moduleOk)
{
    setEnabled(true);
    FindModuleLMDButton->setEnabled(true);
    ControlsState(true, moduleOk);
    SaveSettingsButton->setEnabled(!AutoSaveSettingsLMDCheckBox->isChecked() && moduleOk);
    setScreenCursor(m_savedCursor);
    setPopupMenuAutoPopup(true);
    FirstDetection = false;
    m_detectedOk = moduleOk;
    emit detectionFinished();
}

bool TMainForm::event(QEvent *event)
{
    if (event->type() == StartInitDevicesThreadEvent) {
        OnStartInitDevicesThreadThread(event);
        return true;
    }
    return QWidget::event(event);
}

void TMainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QWidget::changeEvent(event);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Closing during a detection would pull the window from under its steps;
    // the program ends as soon as the detection is over instead.
    if (DetectionRunning) {
        m_terminationPending = true;
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_popupMenuAutoPopup)
        return;
    const QPoint mouse = event->globalPos();
    PopupMenu->popup(QPoint(mouse.x() - PopupMenu->sizeHint().width() / 2, mouse.y()));
}
