#pragma once

#include <QApplication>

#include <functional>

class QKeyEvent;

// The program's application object. It gives the program two things that Qt
// leaves to the application:
// - a key hook: one function that sees every key press of the application
//   before the focused widget does, and may consume it;
// - a guard around every event handler: an exception that escapes a handler
//   is shown in a standard error box and the event loop goes on.
class Application : public QApplication
{
    Q_OBJECT

public:
    // Returns true when the key is handled: it then reaches no widget.
    using KeyHook = std::function<bool(QKeyEvent *)>;

    Application(int &argc, char **argv);

    KeyHook keyHook() const { return m_keyHook; }
    // Installs a new hook and returns the one it replaces.
    KeyHook setKeyHook(KeyHook hook);

    // The running application object, or nullptr when the program's
    // QApplication is not an Application (as in some tests).
    static Application *instance();

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the message of an exception that escaped a handler.
    static void showException(const QString &message);

    // Loads Qt's own Russian texts (the standard buttons "Да", "Нет", ...),
    // as the program speaks Russian whatever the system's language. Returns
    // false when the translation is not installed; Qt's English stays then.
    static bool installQtTranslation();

private:
    KeyHook m_keyHook;
};
