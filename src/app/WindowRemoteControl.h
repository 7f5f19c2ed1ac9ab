#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class G740Remote;
class QAction;
class TMainForm;

// Remote control in the window: the popup menu's "Удалённое управление"
// toggle, its state and port kept in the settings file (off and 5025 by
// default), and the window title, which tells that remote control is on and
// how many clients are connected; the window's layout stays as it is.
class WindowRemoteControl : public QObject
{
    Q_OBJECT

public:
    // Adds the toggle to the window's menu and opens the port when the
    // settings file says it was on.
    explicit WindowRemoteControl(TMainForm &form);
    ~WindowRemoteControl() override;

    // The command line's --remote: opens the port at once. False, with the
    // reason in errorText(), when it cannot be opened.
    bool open(const QHostAddress &address, quint16 port);
    void close();
    QString errorText() const { return m_errorText; }

    QAction *toggle() const { return m_toggle; }
    G740Remote *remote() const { return m_remote.get(); }
    // The command line's --vxi11 off: the socket alone.
    void setVxi11Enabled(bool enabled) { m_vxi11Enabled = enabled; }

    static QString section();
    static QString enabledKey();
    static QString portKey();

private:
    void toggled(bool on);
    void showState();

    TMainForm &m_form;
    QAction *m_toggle;
    QString m_title; // the window's own title
    std::unique_ptr<G740Remote> m_remote;
    bool m_vxi11Enabled = true;
    QString m_errorText;
};
