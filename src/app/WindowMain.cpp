#include "app/WindowMain.h"

#include "app/AboutProgramPanel.h"
#include "app/Application.h"
#include "app/DisplayCheck.h"
#include "app/CommandLine.h"
#include "app/Language.h"
#include "app/ExitCodes.h"
#include "app/MainForm.h"
#include "app/TerminationSignals.h"
#include "app/WindowRemoteControl.h"
#include "remote/G740Remote.h"
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
        // choice kept in the settings file. Qt's own Russian texts only for
        // Russian; in English Qt's source texts serve.
        QString language = commandLine.language();
        if (language.isEmpty())
            language = Language::saved(SettingsFilePath());
        if (language == Language::English)
            Language::install(language);
        else
            Application::installQtTranslation();
        app.setApplicationDisplayName(QCoreApplication::translate("WindowMain", "Генератор G-740"));
        // Signals and the end of the desktop session end the program through
        // the window's closing sequence, so that nothing is lost.
        TerminationSignals termination;
        TMainForm MainForm;
        MainForm.setPresetName(commandLine.presetName());
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
