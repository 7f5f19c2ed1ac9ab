#include "front/HeadlessRun.h"

#include "front/DetectionPacing.h"
#include "front/ExitCodes.h"
#include "front/FileVersions.h"
#include "front/HeadlessLog.h"
#include "front/TerminationSignals.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "instrument/InstrumentTexts.h"
#include "instrument/ModuleWatch.h"
#include "remote/G740Remote.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"
#include "web/G740Web.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <systemd/sd-daemon.h>

#include <cstdio>
#include <exception>

namespace {

int exitCodeOf(const InstrumentFailure &failure)
{
    switch (failure.kind) {
    case InstrumentFailure::Kind::LibraryFault:
        return ExitCode::LibraryFault;
    case InstrumentFailure::Kind::NoModule:
    case InstrumentFailure::Kind::ModuleBusy:
    case InstrumentFailure::Kind::ModuleFault:
        return ExitCode::NoModule;
    case InstrumentFailure::Kind::SettingsFile:
        return ExitCode::SettingsFault;
    default:
        return ExitCode::StartFailed;
    }
}

} // namespace

WebProgram webPageProgram(std::function<const G740Remote *()> remote)
{
    WebProgram program;
    program.settingsPath = SettingsFilePath();
    program.remotePort = [remote = std::move(remote)]() -> std::optional<quint16> {
        const G740Remote *open = remote();
        return open ? std::optional<quint16>(open->port()) : std::nullopt;
    };
    program.libraryVersion = [] { return FileVersions::versionFromLibraryFileName(FileVersions::deviceLibraryFile()); };
    program.passwordRecord = TIniFile(SettingsFilePath())
                                 .ReadString(WebPageSettings::Section.toString(), WebPageSettings::PasswordHash.toString(), {});
    return program;
}

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
    m_instrument.setSlotChoice(m_options.slot);
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

void HeadlessRun::next(void (HeadlessRun::*step)())
{
    // A termination request waits for the detection's end, as in the window.
    QTimer::singleShot(0, this, [this, step] {
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
    next(&HeadlessRun::openDevice);
}

void HeadlessRun::openDevice()
{
    if (const InstrumentOutcome failed = m_instrument.openDevice()) {
        report(failed->text);
        closeDown(exitCodeOf(*failed));
        return;
    }
    next(&HeadlessRun::checkDevice);
}

void HeadlessRun::checkDevice()
{
    if (const InstrumentOutcome failed = m_instrument.checkDevice()) {
        report(failed->text);
        closeDown(exitCodeOf(*failed));
        return;
    }
    m_moduleOk = true;
    next(&HeadlessRun::applySettings);
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
        report(HeadlessLog::setLoaded(m_options.presetName, HeadlessLog::By::Run));
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
        report(HeadlessLog::generatorStarted(HeadlessLog::By::Run));
    }
    if ((m_options.remotePort && !openRemoteControl()) || (m_options.httpPort && !openWebPage())) {
        closeDown(ExitCode::RemotePortFault);
        return;
    }
    // From here on a lost module is one line, and so is its return; the
    // run goes on either way, for a rack that must survive a USB glitch.
    connect(&m_instrument, &Instrument::moduleLost, this, &HeadlessRun::report);
    connect(&m_instrument, &Instrument::moduleFound, this, &HeadlessRun::report);
    m_watch = std::make_unique<ModuleWatch>(m_instrument);
    m_waiting = true;
    // Outside a notify service there is no socket and this does nothing.
    sd_notify(0, "READY=1");
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
    program.loadSet = [this, sets](const QString &name) {
        const InstrumentOutcome failed = sets.load(name, m_remote.get());
        if (!failed)
            report(HeadlessLog::setLoaded(name, HeadlessLog::By::Remote));
        return failed;
    };
    m_remote = std::make_unique<G740Remote>(m_instrument, program);
    m_remote->setVxi11Enabled(m_options.vxi11);
    connect(m_remote.get(), &G740Remote::clientConnected, this,
            [this](const QHostAddress &address, quint16 port) { report(HeadlessLog::clientConnected(address, port)); });
    connect(m_remote.get(), &G740Remote::clientLeft, this,
            [this](const QHostAddress &address, quint16 port) { report(HeadlessLog::clientLeft(address, port)); });
    connect(m_remote.get(), &G740Remote::runningChangedByClient, this, [this](bool running) {
        report(running ? HeadlessLog::generatorStarted(HeadlessLog::By::Remote)
                       : HeadlessLog::generatorStopped(HeadlessLog::By::Remote));
    });
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

bool HeadlessRun::openWebPage()
{
    m_web = std::make_unique<G740Web>(m_instrument, webPageProgram([this] { return m_remote.get(); }));
    if (!m_web->listen(m_options.remoteAddress, *m_options.httpPort)) {
        report(G740Web::failureText(*m_options.httpPort, m_web->errorString()));
        m_web.reset();
        return false;
    }
    report(G740Web::listeningText(m_web->port()));
    if (m_remote)
        m_remote->setWebPort(m_web->port());
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
    // No remote command or page reaches the instrument while it closes; the
    // clients go with the server, unlogged.
    m_web.reset();
    if (m_remote)
        m_remote->disconnect(this);
    m_remote.reset();
    m_watch.reset();
    sd_notify(0, "STOPPING=1");
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
                report(HeadlessLog::generatorStopped(HeadlessLog::By::Run));
        }
        m_instrument.release();
    } catch (...) {
        report(InstrumentTexts::unexpectedException());
    }
    m_settingsFile.reset();
    if (m_loop)
        m_loop->exit(m_exitCode);
}
