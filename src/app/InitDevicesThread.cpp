#include "app/InitDevicesThread.h"

#include "app/MainForm.h"
#include "device/DeviceLibrary.h"
#include "app/G740GeneratorFrame.h"
#include "runtime/EllipseIndicator.h"
#include "runtime/MessageBox.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include <cstring>
#include <exception>

std::atomic<int> TInitDevicesThread::s_liveCount{0};

namespace {

const QString UnknownModuleCaption = QStringLiteral("Модуль ??????");

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

} // namespace

TInitDevicesThread::TInitDevicesThread(TMainForm *mainForm, bool CreateSuspended)
    : m_mainForm(mainForm)
{
    ++s_liveCount;
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    if (!CreateSuspended)
        start();
}

TInitDevicesThread::~TInitDevicesThread()
{
    wait();
    --s_liveCount;
}

void TInitDevicesThread::run()
{
    // Nothing may escape a thread function: it would end the program.
    try {
        Execute();
    } catch (...) {
    }
}

void TInitDevicesThread::Synchronize(const std::function<void()> &step)
{
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        this,
        [&] {
            try {
                step();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}

void TInitDevicesThread::ReportException()
{
    Synchronize([this] {
        ErrorText = QStringLiteral("Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!");
        ReportError();
    });
}

void TInitDevicesThread::Execute()
{
    // An exception in the first step is reported like one in the others; the
    // last step then unlocks the window all the same.
    try {
        Synchronize([this] { StartDetection(); });
    } catch (...) {
        ReportException();
    }
    msleep(500);
    if (!Failed) {
        try {
            Synchronize([this] { OpenDevice(); });
            msleep(100);
            if (!Failed) {
                Synchronize([this] { CheckDevice(); });
                msleep(100);
            }
            Synchronize([this] { ShowDetectionResult(); });
            msleep(100);
            Synchronize([this] { ApplySettings(); });
        } catch (...) {
            ReportException();
        }
    }
    try {
        Synchronize([this] { FinishDetection(); });
    } catch (...) {
        ReportException();
    }
}

void TInitDevicesThread::ReportError()
{
    if (!Failed)
        showMessageBox(m_mainForm, ErrorText, QStringLiteral("Сообщение TInitDevicesThread::Execute()!"));
    Failed = true;
}

void TInitDevicesThread::EnableSweep(QWidget *group, bool enabled)
{
    const auto children = group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow()) // menus and popups a control owns
            continue;
        if (!child->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty())
            EnableSweep(child, enabled);
        child->setEnabled(enabled);
    }
}

void TInitDevicesThread::ControlsState(bool Finished)
{
    TMainForm *form = m_mainForm;
    form->setPopupMenuAutoPopup(Finished);
    if (!Finished) {
        SavedCursor = screenCursor();
        setScreenCursor(QCursor(Qt::WaitCursor));
    } else {
        setScreenCursor(SavedCursor);
    }
    form->Busy = true;
    EnableSweep(form->LoadingTestsLMDGroupBox, Finished);
    EnableSweep(form->SaveIniSettingLMDGroupBox, Finished && ModuleOk);
    if (!Finished)
        EnableSweep(form->GeneratorParsLMDGroupBox, false);
    form->Busy = false;
}

void TInitDevicesThread::ModuleDisplay(bool Finished)
{
    TMainForm *form = m_mainForm;
    const bool found = Finished && ModuleOk;
    form->LoadingTestsLMDGroupBox->setTitle(found ? QStringLiteral("Модуль ") + QString::fromLatin1(ModuleName)
                                                  : UnknownModuleCaption);
    if (!Finished)
        form->ModuleDetectionLMDShapeControl->setBrushColor(buttonShadowColor());
    else
        form->ModuleDetectionLMDShapeControl->setBrushColor(ModuleOk ? QColor(0, 255, 0) : QColor(255, 0, 0));
    form->ModuleDetectionLMDStaticText->setEnabled(Finished);
    form->VirtualSlotLMDStaticText->setEnabled(Finished);
    form->VirtualSlotLabelLMDStaticText->setEnabled(Finished);
    form->VirtualSlotLMDStaticText->setText(found ? QString::number(VirtualSlot) : QString());
}

void TInitDevicesThread::StartDetection()
{
    TMainForm *form = m_mainForm;
    form->DetectionRunning = true;
    ControlsState(false);
    form->setEnabled(false);
    form->setPopupMenuAutoPopup(false);
    QCoreApplication::processEvents();
    ModuleOk = false;
    UsbSpeed = 2;
    ModuleDisplay(false);
    if (form->FirstDetection) {
        const QString path = SettingsFilePath();
        if (QFile::exists(path)) {
            SettingsFile = std::make_unique<TIniFile>(path);
        } else if (QFile file(path); file.open(QIODevice::WriteOnly)) {
            file.close();
            if (form->CreateDefaultIniFile(path))
                SettingsFile = std::make_unique<TIniFile>(path);
        } else {
            ErrorText = QStringLiteral("Не могу создать файл штатных настроек '") + path + QStringLiteral("'!");
            ReportError();
        }
        readGeneratorSettings(SettingsFile.get(), form->GeneratorPars);
    } else if (form->G740GeneratorFrame && form->G740GeneratorFrame->hasAppliedPars()) {
        // The panel's current parameters survive the detection. A panel that
        // never got a record (no module at the first detection) has nothing to
        // give: the settings loaded from the file carry over instead.
        form->G740GeneratorFrame->ReadGeneratorPars(&form->GeneratorPars);
    }
}

void TInitDevicesThread::OpenDevice()
{
    if (TheModuleInterface) {
        TheModuleInterface->CloseModule();
    } else {
        DeviceLibrary &library = DeviceLibrary::instance();
        if (!library.load()) {
            ErrorText = QStringLiteral("Не могу загрузить библиотеку Modlink!\n") + library.errorString();
            ReportError();
            return;
        }
        const std::uint32_t version = library.getLibraryVersion()();
        if (version != RequiredLibraryVersion) {
            ErrorText = QStringLiteral("Неправильная версия библиотеки Modlink.dll!\n");
            ErrorText += QStringLiteral("Текущая: ") + QString::number(version >> 16) + QLatin1Char('.')
                         + QString::number(version & 0xFFFF);
            ErrorText += QStringLiteral(" Требуется: ") + QString::number(RequiredLibraryVersion >> 16)
                         + QLatin1Char('.') + QString::number(RequiredLibraryVersion & 0xFFFF);
            ReportError();
            return;
        }
        TheModuleInterface = library.createModuleInterface()("g740");
        if (!TheModuleInterface) {
            ErrorText = QStringLiteral("Не могу получить интерфейс на модуль G-740!");
            ReportError();
            return;
        }
    }
    VirtualSlot = 0xFFFF;
    for (std::uint16_t slot = 0; slot < 127; ++slot) {
        if (TheModuleInterface->OpenModule(slot)) {
            VirtualSlot = slot;
            break;
        }
    }
    if (VirtualSlot == 0xFFFF)
        Failed = true;
}

void TInitDevicesThread::CheckDevice()
{
    std::memset(ModuleName, 0, sizeof ModuleName);
    if (!TheModuleInterface->GetModuleName(ModuleName)) {
        ErrorText = QStringLiteral("Не могу выполнить функцию GetModuleName()!");
        ReportError();
        return;
    }
    ModuleName[sizeof ModuleName - 1] = '\0';
    if (std::strcmp(ModuleName, "G-740") != 0) {
        ErrorText = QStringLiteral("Обнаруженное устройство не является модулем 'G-740'!");
        ReportError();
        return;
    }
    if (!TheModuleInterface->GetUsbSpeed(&UsbSpeed)) {
        ErrorText = QStringLiteral("Не могу выполнить функцию GetUsbSpeed()!");
        ReportError();
        return;
    }
    if (UsbSpeed > 1) {
        ErrorText = QStringLiteral("Считалась неправильная скорость работы шины USB!");
        ReportError();
        return;
    }
    if (!TheModuleInterface->GET_MODULE_DESCRIPTION(&m_mainForm->ModuleDescription)) {
        ErrorText = QStringLiteral("Не могу выполнить функцию GET_MODULE_DESCRIPTION()!");
        ReportError();
        return;
    }
    ModuleOk = true;
    m_mainForm->VirtualSlot = VirtualSlot;
}

void TInitDevicesThread::ShowDetectionResult()
{
    ModuleDisplay(true);
}

void TInitDevicesThread::ApplySettings()
{
    if (!ModuleOk)
        return;
    EnableSweep(m_mainForm->GeneratorParsLMDGroupBox, true);
    m_mainForm->InitApplicationPars(SettingsFile.get());
}

void TInitDevicesThread::FinishDetection()
{
    TMainForm *form = m_mainForm;
    form->setEnabled(true);
    form->FindModuleLMDButton->setEnabled(true);
    ControlsState(true);
    form->SaveSettingsButton->setEnabled(!form->AutoSaveSettingsLMDCheckBox->isChecked() && ModuleOk);
    SettingsFile.reset();
    setScreenCursor(SavedCursor);
    form->setPopupMenuAutoPopup(true);
    form->FirstDetection = false;
    emit form->detectionFinished();
}
