#include "app/AboutProgramPanel.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/HeadlessRun.h"
#include "app/MainForm.h"
#include "app/TerminationSignals.h"
#include "app/WindowRemoteControl.h"
#include "remote/G740Remote.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentTexts.h"
#include "settings/SettingsFilePath.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

int runWindow(int argc, char *argv[], const CommandLine &commandLine)
{
    Application app(argc, argv);
    try {
        app.setApplicationDisplayName(QStringLiteral("Генератор G-740"));
        // Signals and the end of the desktop session end the program through
        // the window's closing sequence, so that nothing is lost.
        TerminationSignals termination;
        TMainForm MainForm;
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &MainForm,
                         &TMainForm::terminateApplication);
#ifndef QT_NO_SESSIONMANAGER
        // The session manager must not see the program quit inside its request.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &MainForm,
                         [&MainForm] { QTimer::singleShot(0, &MainForm, &TMainForm::terminateApplication); });
#endif
        // Remote control: the menu's toggle, or at once from the command line.
        WindowRemoteControl remote(MainForm);
        if (const std::optional<quint16> port = commandLine.remotePort()) {
            if (!remote.open(commandLine.remoteAddress(), *port)) {
                print(stderr, remote.errorText() + QLatin1Char('\n'));
                return ExitCode::RemotePortFault;
            }
            print(stderr, G740Remote::listeningText(remote.remote()->port()) + QLatin1Char('\n'));
        }
        // Hidden until the menu shows it; it reads the versions now.
        AboutProgramPanel = new TAboutProgramPanel(&MainForm);
        MainForm.show();
        Application::exec();
        delete AboutProgramPanel;
        AboutProgramPanel = nullptr;
    } catch (const std::exception &error) {
        Application::showException(QString::fromUtf8(error.what()));
    } catch (...) {
        Application::showException(QString());
    }
    return ExitCode::Normal;
}

int runHeadless(int argc, char *argv[], const CommandLine &commandLine)
{
    QCoreApplication app(argc, argv);
    try {
        Instrument instrument;
        HeadlessRun::Options options;
        options.startGenerator = commandLine.startGenerator();
        options.remotePort = commandLine.remotePort();
        options.remoteAddress = commandLine.remoteAddress();
        HeadlessRun run(instrument, options);
        return run.exec();
    } catch (const std::exception &error) {
        print(stderr, QString::fromUtf8(error.what()) + QLatin1Char('\n'));
    } catch (...) {
        print(stderr, InstrumentTexts::unexpectedException() + QLatin1Char('\n'));
    }
    return ExitCode::SettingsFault;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine commandLine;
    const CommandLine::Action action = commandLine.parse(arguments);
    if (!commandLine.settingsFile().isEmpty())
        setSettingsFilePathOverride(commandLine.settingsFile());

    switch (action) {
    case CommandLine::Action::Window:
        return runWindow(argc, argv, commandLine);
    case CommandLine::Action::Headless:
        return runHeadless(argc, argv, commandLine);
    case CommandLine::Action::Version:
        print(stdout, CommandLine::versionText() + QLatin1Char('\n'));
        return ExitCode::Normal;
    case CommandLine::Action::Help: {
        QCoreApplication app(argc, argv);
        print(stdout, commandLine.helpText());
        return ExitCode::Normal;
    }
    case CommandLine::Action::Error: {
        QCoreApplication app(argc, argv);
        print(stderr, QStringLiteral("g740demo: %1\nПодробнее: g740demo --help\n").arg(commandLine.errorText()));
        return ExitCode::BadCommandLine;
    }
    }
    return ExitCode::Normal;
}
