#include "window/InitDevicesThread.h"

#include "front/DetectionPacing.h"
#include "window/DetectionWindow.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentTexts.h"
#include "widgets/MessageBox.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QFile>
#include <QWidget>

#include <exception>
#include <QCoreApplication>

std::atomic<int> TInitDevicesThread::s_liveCount{0};

TInitDevicesThread::TInitDevicesThread(DetectionWindow *window, bool CreateSuspended)
    : m_window(window)
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
        ErrorText = InstrumentTexts::unexpectedException();
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
    msleep(DetectionPacing::AfterStart);
    if (!Failed) {
        try {
            Synchronize([this] { OpenDevice(); });
            msleep(DetectionPacing::BetweenSteps);
            if (!Failed) {
                Synchronize([this] { CheckDevice(); });
                msleep(DetectionPacing::BetweenSteps);
            }
            Synchronize([this] { ShowDetectionResult(); });
            msleep(DetectionPacing::BetweenSteps);
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
        showMessageBox(m_window->reportParent(), ErrorText, InstrumentTexts::detectionReportCaption());
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

void TInitDevicesThread::StartDetection()
{
    m_window->detectionStarted();
    ModuleOk = false;
    if (m_window->isFirstDetection()) {
        const QString path = SettingsFilePath();
        switch (prepareStartupSettingsFile(path)) {
        case StartupSettingsFile::Existing:
            SettingsFile = std::make_unique<TIniFile>(path);
            break;
        case StartupSettingsFile::Created:
            if (m_window->createDefaultSettings(path))
                SettingsFile = std::make_unique<TIniFile>(path);
            break;
        case StartupSettingsFile::CannotCreate:
            ErrorText = InstrumentTexts::cannotCreateSettingsFile(path);
            ReportError();
            break;
        }
        if (const std::optional<QString> message = loadGeneratorSettings(SettingsFile.get(), m_window->detectionRecord()))
            showMessageBox(m_window->reportParent(), *message, QCoreApplication::translate("InitDevicesThread", "Файл настроек"), QMessageBox::Warning);
    } else {
        m_window->keepPanelRecord();
    }
}

void TInitDevicesThread::OpenDevice()
{
    if (const InstrumentOutcome failed = m_window->detectionInstrument().openDevice()) {
        // No module in any slot is shown by the window alone, without a box.
        if (failed->kind == InstrumentFailure::Kind::NoModule) {
            Failed = true;
            return;
        }
        ErrorText = failed->text;
        ReportError();
    }
}

void TInitDevicesThread::CheckDevice()
{
    if (const InstrumentOutcome failed = m_window->detectionInstrument().checkDevice()) {
        ErrorText = failed->text;
        ReportError();
        return;
    }
    ModuleOk = true;
}

void TInitDevicesThread::ShowDetectionResult()
{
    m_window->showDetectionResult(ModuleOk);
}

void TInitDevicesThread::ApplySettings()
{
    if (!ModuleOk)
        return;
    m_window->applyDetectedSettings(SettingsFile.get());
}

void TInitDevicesThread::FinishDetection()
{
    SettingsFile.reset();
    m_window->finishDetection(ModuleOk);
}
