#include "app/HeadlessRun.h"

#include "app/DetectionPacing.h"
#include "app/ExitCodes.h"
#include "app/TerminationSignals.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "instrument/InstrumentTexts.h"
#include "remote/G740Remote.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace {

int exitCodeOf(const InstrumentFailure &failure)
{
    switch (failure.kind) {
    case InstrumentFailure::Kind::LibraryFault:
        return ExitCode::LibraryFault;
    case InstrumentFailure::Kind::NoModule:
    case InstrumentFailure::Kind::ModuleFault:
        return ExitCode::NoModule;
    case InstrumentFailure::Kind::SettingsFile:
        return ExitCode::SettingsFault;
    default:
        return ExitCode::StartFailed;
    }
}

} // namespace

HeadlessRun::HeadlessRun(Instrument &instrument, Options options, QObject *parent)
    : QObject(parent)
    , m_instrument(instrument)
    , m_options(options)
    , m_report([](const QString &line) {
        std::fputs(line.toUtf8().append('\n').constData(), stderr);
        std::fflush(stderr);
    })
{
}

HeadlessRun::~HeadlessRun() = default;

int HeadlessRun::exec()
{
    m_termination = std::make_unique<TerminationSignals>();
    connect(m_termination.get(), &TerminationSignals::terminationRequested, this, &HeadlessRun::requestTermination);
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(0, this, &HeadlessRun::loadSettings);
    // closeDown ends the loop.
    loop.exec();
    m_loop = nullptr;
    m_termination.reset();
    return m_exitCode;
}

void HeadlessRun::requestTermination()
{
    m_terminationRequested = true;
    // While the detection runs, its last step ends the session.
    if (m_waiting)
        closeDown(ExitCode::Normal);
}

void HeadlessRun::after(int pause, void (HeadlessRun::*step)())
{
    // A termination request waits for the detection's end, as in the window.
    QTimer::singleShot(pause, this, [this, step] {
        // The steps call the device library, which may throw; as in the
        // window, that is reported and ends the detection.
        try {
            (this->*step)();
        } catch (...) {
            report(InstrumentTexts::unexpectedException());
            closeDown(ExitCode::LibraryFault);
        }
    });
}

void HeadlessRun::report(const QString &line) const
{
    m_report(line);
}

void HeadlessRun::loadSettings()
{
    // As the window's first detection: an existing file is read, a missing
    // one is created with the default settings.
    const QString path = SettingsFilePath();
    switch (prepareStartupSettingsFile(path)) {
    case StartupSettingsFile::Existing:
        m_settingsFile = std::make_unique<TIniFile>(path);
        break;
    case StartupSettingsFile::Created:
        m_settingsFile = std::make_unique<TIniFile>(path);
        try {
            writeDefaultSettings(*m_settingsFile, SettingsProgramPath());
        } catch (const std::exception &error) {
            report(QString::fromUtf8(error.what()));
            closeDown(ExitCode::SettingsFault);
            return;
        }
        break;
    case StartupSettingsFile::CannotCreate:
        report(InstrumentTexts::cannotCreateSettingsFile(path));
        closeDown(ExitCode::SettingsFault);
        return;
    }
    // An unreadable file or replaced values are reported; the run goes on
    // with the defaults, as the window does.
    if (const std::optional<QString> message = loadGeneratorSettings(m_settingsFile.get(), m_record))
        report(*message);
    after(DetectionPacing::AfterStart, &HeadlessRun::openDevice);
}

void HeadlessRun::openDevice()
{
    if (const InstrumentOutcome failed = m_instrument.openDevice()) {
        report(failed->text);
        closeDown(exitCodeOf(*failed));
        return;
    }
    after(DetectionPacing::BetweenSteps, &HeadlessRun::checkDevice);
}

void HeadlessRun::checkDevice()
{
    if (const InstrumentOutcome failed = m_instrument.checkDevice()) {
        report(failed->text);
        closeDown(exitCodeOf(*failed));
        return;
    }
    m_moduleOk = true;
    after(DetectionPacing::BetweenSteps, &HeadlessRun::showDetectionResult);
}

void HeadlessRun::showDetectionResult()
{
    after(DetectionPacing::BetweenSteps, &HeadlessRun::applySettings);
}

void HeadlessRun::applySettings()
{
    // Nothing runs yet, so the record cannot be refused.
    (void)m_instrument.setRecord(m_record);
    // Nobody watches a headless run: a generator that went on with other
    // parameters than the ones asked for would look like success, so a
    // missing set ends the run before anything is started or saved.
    if (!m_options.presetName.isEmpty()) {
        if (const InstrumentOutcome failed = InstrumentSets(m_instrument, SettingsFilePath()).load(m_options.presetName)) {
            report(failed->text);
            closeDown(exitCodeOf(*failed));
            return;
        }
        report(QCoreApplication::translate("HeadlessRun", "Загружен набор параметров \"%1\"").arg(m_options.presetName));
    }
    // The window takes the auto-save choice here too, once per run.
    m_autoSave = readAutoSaveSetting(m_settingsFile.get());
    // Said once the module is ready for use, at the detection's end.
    report(QCoreApplication::translate("HeadlessRun", "Модуль %1, виртуальный слот %2")
               .arg(m_instrument.moduleName(), QString::number(m_instrument.slot())));
    if (m_options.startGenerator) {
        if (const InstrumentOutcome failed = m_instrument.start()) {
            report(failed->text);
            closeDown(ExitCode::StartFailed);
            return;
        }
        report(QCoreApplication::translate("HeadlessRun", "Генератор запущен"));
    }
    if (m_options.remotePort && !openRemoteControl()) {
        closeDown(ExitCode::RemotePortFault);
        return;
    }
    m_waiting = true;
    if (m_terminationRequested)
        closeDown(ExitCode::Normal);
}

bool HeadlessRun::openRemoteControl()
{
    G740Program program;
    program.saveSettings = [this] { return saveSettings(); };
    const InstrumentSets sets(m_instrument, SettingsFilePath());
    program.setNames = [sets] { return sets.names(); };
    program.storeSet = [sets](const QString &name) { return sets.save(name); };
    program.loadSet = [this, sets](const QString &name) { return sets.load(name, m_remote.get()); };
    m_remote = std::make_unique<G740Remote>(m_instrument, program);
    m_remote->setVxi11Enabled(m_options.vxi11);
    if (!m_remote->listen(m_options.remoteAddress, *m_options.remotePort)) {
        report(G740Remote::failureText(*m_options.remotePort, m_remote->errorString()));
        m_remote.reset();
        return false;
    }
    report(G740Remote::listeningText(m_remote->port()));
    for (const QString &notice : m_remote->notices())
        report(notice);
    connect(m_remote.get(), &G740Remote::noticed, this, [this](const QString &line) { report(line); });
    return true;
}

std::optional<QString> HeadlessRun::saveSettings()
{
    // As Ctrl+S in the window: the current record, the auto-save choice as
    // the file has it.
    try {
        const bool autoSave = readAutoSaveSetting(m_settingsFile.get());
        m_settingsFile = std::make_unique<TIniFile>(SettingsFilePath());
        writeCurrentSettings(*m_settingsFile, SettingsProgramPath(), autoSave, m_instrument.record());
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
    return std::nullopt;
}

void HeadlessRun::closeDown(int exitCode)
{
    if (m_closed)
        return;
    m_closed = true;
    m_waiting = false;
    m_exitCode = exitCode;
    // No remote command reaches the instrument while it closes.
    m_remote.reset();
    // The window's closing sequence: auto-save (only once a detection has set
    // the choice), the generator stopped, the module released.
    if (m_autoSave) {
        try {
            TIniFile file(SettingsFilePath());
            writeCurrentSettings(file, SettingsProgramPath(), true, m_instrument.record());
        } catch (const std::exception &error) {
            report(QString::fromUtf8(error.what()));
            if (m_exitCode == ExitCode::Normal)
                m_exitCode = ExitCode::SettingsFault;
        }
    }
    try {
        if (m_moduleOk) {
            const bool wasRunning = m_instrument.isRunning();
            if (const InstrumentOutcome failed = m_instrument.stopForClose())
                report(failed->text);
            else if (wasRunning)
                report(QCoreApplication::translate("HeadlessRun", "Генератор остановлен"));
        }
        m_instrument.release();
    } catch (...) {
        report(InstrumentTexts::unexpectedException());
    }
    m_settingsFile.reset();
    if (m_loop)
        m_loop->exit(m_exitCode);
}
