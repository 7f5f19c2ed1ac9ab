#pragma once

#include "generator/GeneratorPars.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class G740Remote;
class G740Web;
struct WebProgram;
class Instrument;
class ModuleWatch;
class QEventLoop;
class TIniFile;
class TerminationSignals;

// The web page's view of the program, the same from both front doors: the
// sets and the password of the settings file, the device library's
// version, and the SCPI port while remote is on.
WebProgram webPageProgram(std::function<const G740Remote *()> remote);

// The program without a window: the window's first detection and settings
// flow on the instrument, without the window's pauses (nobody watches them),
// with every report written to standard error in the texts of the window's
// boxes. After a successful detection it watches the module (a loss and a
// return are one line each), tells systemd it is ready when run as a
// notify service, and runs until SIGTERM, SIGINT or SIGHUP; then it closes
// as the window does (auto-save as the settings file says, the generator
// stopped, the module released). Needs a QCoreApplication only.
class HeadlessRun : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        bool startGenerator = false; // start with the loaded record after the detection
        // Remote control on this port once the settings are applied.
        std::optional<quint16> remotePort;
        QHostAddress remoteAddress{QHostAddress::LocalHost};
        // The web page on this port, on remoteAddress too.
        std::optional<quint16> httpPort;
        bool vxi11 = true;           // VXI-11 and discovery beside the socket
        QString presetName;          // the set that replaces the loaded record; empty: none
        std::optional<quint16> slot; // the only slot probed; none: the first free module
    };
    // Where the reports go; standard error by default.
    using Report = std::function<void(const QString &line)>;

    HeadlessRun(Instrument &instrument, Options options, QObject *parent = nullptr);
    ~HeadlessRun() override;

    void setReport(Report report) { m_report = std::move(report); }

    // Runs the whole session in the event loop and returns the exit code
    // (see ExitCodes.h).
    int exec();

    // For tests: ends the session as a termination signal would.
    void requestTermination();
    // The remote control while it listens, for tests.
    G740Remote *remote() const { return m_remote.get(); }
    G740Web *web() const { return m_web.get(); }

private:
    void loadSettings();
    void openDevice();
    void checkDevice();
    void applySettings();
    bool openRemoteControl();
    bool openWebPage();
    std::optional<QString> saveSettings();
    // The next step, from the event loop.
    void next(void (HeadlessRun::*step)());
    void closeDown(int exitCode);
    void report(const QString &line) const;

    Instrument &m_instrument;
    Options m_options;
    Report m_report;
    std::unique_ptr<TerminationSignals> m_termination;
    QEventLoop *m_loop = nullptr;
    std::unique_ptr<TIniFile> m_settingsFile;
    std::unique_ptr<G740Remote> m_remote;
    std::unique_ptr<ModuleWatch> m_watch;
    std::unique_ptr<G740Web> m_web;
    GENERATOR_PARS m_record;
    bool m_moduleOk = false;
    bool m_autoSave = false; // as the settings file said when the detection ended
    bool m_terminationRequested = false;
    bool m_waiting = false; // detected and running until a signal
    bool m_closed = false;
    int m_exitCode = 0;
};
