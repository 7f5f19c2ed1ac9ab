#include "window/Application.h"

#include "front/Language.h"
#include "widgets/MessageBox.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>

#include <exception>

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

Application::KeyHook Application::setKeyHook(KeyHook hook)
{
    KeyHook previous = std::move(m_keyHook);
    m_keyHook = std::move(hook);
    return previous;
}

Application *Application::instance()
{
    return qobject_cast<Application *>(QCoreApplication::instance());
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        // A key from the window system reaches the window first and is then
        // forwarded to the focused widget; propagation to the parents happens
        // inside QApplication::notify. Looking at widget receivers only, the
        // hook sees each key press exactly once, before any widget.
        if (event->type() == QEvent::KeyPress && m_keyHook && receiver->isWidgetType()) {
            KeyHook hook = m_keyHook; // the hook may replace itself
            if (hook(static_cast<QKeyEvent *>(event)))
                return true;
        }
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        showException(QString::fromUtf8(e.what()));
    } catch (...) {
        showException(QString());
    }
    return false;
}

void Application::showException(const QString &message)
{
    showMessageBox(nullptr, message, QCoreApplication::translate("Application", "Генератор G-740"),
                   QMessageBox::Critical);
}

bool Application::installQtTranslation()
{
    return Language::installQtTranslation();
}
