#include "window/WindowMain.h"

#include "window/AboutProgramPanel.h"
#include "window/Application.h"
#include "front/DisplayCheck.h"
#include "front/CommandLine.h"
#include "front/Language.h"
#include "front/ExitCodes.h"
#include "window/MainForm.h"
#include "front/TerminationSignals.h"
#include "window/WindowRemoteControl.h"
#include "remote/G740Remote.h"
#include "web/G740Web.h"
#include "settings/SettingsFilePath.h"

#include <QTimer>

#include <cstdio>
#include <exception>
#include <QCoreApplication>

extern "C" Q_DECL_EXPORT int g740RunWindow(int argc, char *argv[], const char *settingsFile)
{
    // The library has its own copy of the settings code.
    if (settingsFile)
        setSettingsFilePathOverride(QString::fromUtf8(settingsFile));
    // The window's options (remote control, a parameter set), read before
    // QApplication takes its own options out of argv; the program has
    // checked the command line already.
    CommandLine commandLine;
    QStringList given;
    for (int i = 0; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    commandLine.parse(given);
    // QApplication keeps a reference to argc.
    static int arguments = argc;
    requireGraphicalDisplay(argc, argv); // one line and exit code 2 instead of Qt's abort
    Application app(arguments, argv);
    try {
        // The language first, before any text is made: --lang, else the
        // choice kept in the settings file.
        QString language = commandLine.language();
        if (language.isEmpty())
            language = Language::saved(SettingsFilePath());
        Language::install(language);
        // No application display name: Qt would append it to every window's
        // title, and each window names itself.
        // Signals and the end of the desktop session end the program through
        // the window's closing sequence, so that nothing is lost.
        TerminationSignals termination;
        TMainForm MainForm;
        MainForm.setPresetName(commandLine.presetName());
        MainForm.setSlotChoice(commandLine.slot());
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &MainForm,
                         &TMainForm::terminateOnRequest);
#ifndef QT_NO_SESSIONMANAGER
        // The session manager must not see the program quit inside its request.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &MainForm,
                         [&MainForm] { QTimer::singleShot(0, &MainForm, &TMainForm::terminateOnRequest); });
#endif
        // Remote control: the menu's toggle, or at once from the command line.
        WindowRemoteControl remote(MainForm);
        remote.setVxi11Enabled(commandLine.vxi11());
        if (const std::optional<quint16> port = commandLine.remotePort()) {
            if (!remote.open(commandLine.remoteAddress(), *port)) {
                std::fputs((remote.errorText() + QLatin1Char('\n')).toUtf8().constData(), stderr);
                return ExitCode::RemotePortFault;
            }
            std::fputs((G740Remote::listeningText(remote.remote()->port()) + QLatin1Char('\n')).toUtf8().constData(),
                       stderr);
            std::fflush(stderr);
        }
        // The web page likewise, after the remote control it shows.
        WindowWebPage web(MainForm, remote);
        if (const std::optional<quint16> port = commandLine.httpPort()) {
            if (!web.open(commandLine.remoteAddress(), *port)) {
                std::fputs((web.errorText() + QLatin1Char('\n')).toUtf8().constData(), stderr);
                return ExitCode::RemotePortFault;
            }
            std::fputs((G740Web::listeningText(web.web()->port()) + QLatin1Char('\n')).toUtf8().constData(), stderr);
            std::fflush(stderr);
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
