#include "app/WindowMain.h"

#include "app/AboutProgramPanel.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/MainForm.h"
#include "app/TerminationSignals.h"
#include "settings/SettingsFilePath.h"

#include <QTimer>

#include <exception>

extern "C" Q_DECL_EXPORT int g740RunWindow(int argc, char *argv[], const char *settingsFile)
{
    // The library has its own copy of the settings code.
    if (settingsFile)
        setSettingsFilePathOverride(QString::fromUtf8(settingsFile));
    // QApplication keeps a reference to argc.
    static int arguments = argc;
    Application app(arguments, argv);
    try {
        app.setApplicationDisplayName(QStringLiteral("Генератор G-740"));
        Application::installQtTranslation();
        // Signals and the end of the desktop session end the program through
        // the window's closing sequence, so that nothing is lost.
        TerminationSignals termination;
        TMainForm MainForm;
        // The program has checked the command line already; the window
        // reads what it needs from it.
        CommandLine commandLine;
        if (commandLine.parse(QCoreApplication::arguments()) == CommandLine::Action::Window)
            MainForm.setPresetName(commandLine.presetName());
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &MainForm,
                         &TMainForm::terminateOnRequest);
#ifndef QT_NO_SESSIONMANAGER
        // The session manager must not see the program quit inside its request.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &MainForm,
                         [&MainForm] { QTimer::singleShot(0, &MainForm, &TMainForm::terminateOnRequest); });
#endif
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
