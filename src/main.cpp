#include "app/AboutProgramPanel.h"
#include "app/Application.h"
#include "app/DisplayCheck.h"
#include "app/MainForm.h"
#include "app/TerminationSignals.h"

#include <QTimer>

#include <exception>

int main(int argc, char *argv[])
{
    requireGraphicalDisplay(argc, argv); // one line and exit code 2 instead of Qt's abort
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
    return 0;
}
