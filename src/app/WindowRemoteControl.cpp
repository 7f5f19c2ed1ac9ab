#include "app/WindowRemoteControl.h"

#include "app/MainForm.h"
#include "instrument/InstrumentSets.h"
#include "remote/G740Remote.h"
#include "runtime/MessageBox.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <QCoreApplication>

namespace {

QString Caption()
{
    return QCoreApplication::translate("WindowRemoteControl", "Удалённое управление");
}

} // namespace

QString WindowRemoteControl::section()
{
    return QCoreApplication::translate("WindowRemoteControl", "Удалённое управление");
}

QString WindowRemoteControl::enabledKey()
{
    return QCoreApplication::translate("WindowRemoteControl", "Включено");
}

QString WindowRemoteControl::portKey()
{
    return QCoreApplication::translate("WindowRemoteControl", "Порт");
}

WindowRemoteControl::WindowRemoteControl(TMainForm &form)
    : QObject(&form), m_form(form), m_toggle(new QAction(Caption(), &form)), m_title(form.windowTitle())
{
    m_toggle->setObjectName(QStringLiteral("RemoteControlMenuItem"));
    m_toggle->setCheckable(true);
    m_toggle->setToolTip(QCoreApplication::translate("WindowRemoteControl", "Управление генератором по SCPI через TCP-порт этого компьютера"));
    form.PopupMenu->insertAction(form.N3, m_toggle);
    connect(m_toggle, &QAction::toggled, this, &WindowRemoteControl::toggled);

    // Once the window is up, so that a port in use is told over the window;
    // a port given on the command line comes first.
    QTimer::singleShot(0, this, [this] {
        const TIniFile settings(SettingsFilePath());
        if (!m_remote && settings.ReadInteger(section(), enabledKey(), 0) != 0)
            m_toggle->setChecked(true);
    });
}

WindowRemoteControl::~WindowRemoteControl() = default;

bool WindowRemoteControl::open(const QHostAddress &address, quint16 port)
{
    m_errorText.clear();
    if (m_remote)
        close();
    G740Program program;
    program.saveSettings = [this]() -> std::optional<QString> {
        try {
            m_form.SaveSettingsButtonClick();
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
        return std::nullopt;
    };
    // The sets of the window's settings file, as the dialog (Ctrl+P) keeps them.
    const InstrumentSets sets(m_form.instrument(), SettingsFilePath());
    program.setNames = [sets] { return sets.names(); };
    program.storeSet = [sets](const QString &name) { return sets.save(name); };
    program.loadSet = [this, sets](const QString &name) { return sets.load(name, m_remote.get()); };
    // The window is locked while a detection runs; so is the remote side.
    program.busy = [this]() -> std::optional<QString> {
        if (m_form.DetectionRunning)
            return QCoreApplication::translate("WindowRemoteControl", "идёт обнаружение модуля");
        return std::nullopt;
    };
    auto remote = std::make_unique<G740Remote>(m_form.instrument(), program);
    remote->setVxi11Enabled(m_vxi11Enabled);
    if (!remote->listen(address, port)) {
        m_errorText = G740Remote::failureText(port, remote->errorString());
        return false;
    }
    m_remote = std::move(remote);
    // What the LAN faces could not do goes where the port's line goes.
    const auto tell = [](const QString &notice) { std::fputs((notice + QLatin1Char('\n')).toUtf8().constData(), stderr); };
    for (const QString &notice : m_remote->notices())
        tell(notice);
    connect(m_remote.get(), &G740Remote::noticed, this, tell);
    connect(m_remote.get(), &G740Remote::clientCountChanged, this, &WindowRemoteControl::showState);
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(true);
    showState();
    return true;
}

void WindowRemoteControl::close()
{
    // Its clients are disconnected with it.
    m_remote.reset();
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(false);
    showState();
}

void WindowRemoteControl::toggled(bool on)
{
    TIniFile settings(SettingsFilePath());
    if (on) {
        const int port = settings.ReadInteger(section(), portKey(), G740Remote::DefaultPort);
        const bool opened = port >= 0 && port <= 65535 && open(QHostAddress(QHostAddress::LocalHost), quint16(port));
        if (!opened) {
            if (m_errorText.isEmpty())
                m_errorText = QCoreApplication::translate("WindowRemoteControl", "Порт удалённого управления %1 в файле настроек вне 0..65535").arg(port);
            close();
            showMessageBox(&m_form, m_errorText, Caption());
            return;
        }
    } else {
        close();
    }
    // Kept for the next start; a file that cannot be written is said so.
    try {
        if (settings.ReadInteger(section(), enabledKey(), 0) != (on ? 1 : 0))
            settings.WriteInteger(section(), enabledKey(), on ? 1 : 0);
        if (settings.ReadInteger(section(), portKey(), -1) < 0)
            settings.WriteInteger(section(), portKey(), G740Remote::DefaultPort);
    } catch (const std::exception &error) {
        showMessageBox(&m_form, QString::fromUtf8(error.what()), Caption());
    }
}

void WindowRemoteControl::showState()
{
    if (!m_remote) {
        m_form.setWindowTitle(m_title);
        return;
    }
    m_form.setWindowTitle(QCoreApplication::translate("WindowRemoteControl", "%1 Удалённое управление: порт %2, клиентов: %3")
                              .arg(m_title)
                              .arg(m_remote->port())
                              .arg(m_remote->clientCount()));
}
