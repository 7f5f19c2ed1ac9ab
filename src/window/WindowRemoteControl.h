#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <memory>

class G740Remote;
class G740Web;
class QAction;
class TMainForm;

// Remote control in the window: the popup menu's "Удалённое управление"
// toggle and the item that chooses its port (a number or any free one), both
// kept in the settings file (off and 5025 by default), and the window title,
// which tells that remote control is on, on which port and how many clients
// are connected; the window's layout stays as it is.
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
    QAction *portItem() const { return m_portItem; }
    G740Remote *remote() const { return m_remote.get(); }
    // The command line's --vxi11 off: the socket alone.
    void setVxi11Enabled(bool enabled) { m_vxi11Enabled = enabled; }

    static QString section();
    static QString enabledKey();
    static QString portKey();

private:
    void toggled(bool on);
    // "Порт удалённого управления ...": asks for the port and keeps it; an
    // open port moves to it at once.
    void choosePort();
    // The port in the settings file; 0 is any free port.
    quint16 keptPort() const;
    void showState();

    TMainForm &m_form;
    QAction *m_toggle;
    QAction *m_portItem;
    QString m_title; // the window's own title
    std::unique_ptr<G740Remote> m_remote;
    bool m_vxi11Enabled = true;
    QString m_errorText;
};

// The instrument's web page from the window: the popup menu's
// "Веб-страница" toggle, its state and port kept in the settings file (off
// and 8080 by default). The page shows the SCPI port while remote control
// is on; changes on it are refused while a detection runs, as the window's.
class WindowWebPage : public QObject
{
    Q_OBJECT

public:
    WindowWebPage(TMainForm &form, WindowRemoteControl &remote);
    ~WindowWebPage() override;

    // The command line's --http: opens the port at once. False, with the
    // reason in errorText(), when it cannot be opened.
    bool open(const QHostAddress &address, quint16 port);
    void close();
    QString errorText() const { return m_errorText; }

    QAction *toggle() const { return m_toggle; }
    G740Web *web() const { return m_web.get(); }

private:
    // Tells remote control, where it is on, the page's port to announce.
    void announcePort();
    void toggled(bool on);

    TMainForm &m_form;
    WindowRemoteControl &m_remote;
    QAction *m_toggle;
    std::unique_ptr<G740Web> m_web;
    QString m_errorText;
};
