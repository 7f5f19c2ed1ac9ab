#include "window/WindowRemoteControl.h"

#include "front/HeadlessRun.h"
#include "window/MainForm.h"
#include "window/RemotePortDialog.h"
#include "instrument/InstrumentSets.h"
#include "remote/G740Remote.h"
#include "widgets/MessageBox.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"
#include "web/G740Web.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <functional>
#include <QCoreApplication>

namespace {

QString Caption()
{
    return QCoreApplication::translate("WindowRemoteControl", "Удалённое управление");
}

struct ToggleKeys
{
    QString section;
    QString enabledKey;
    QString portKey;
    int defaultPort;
};

// What a port toggle of the menu does: on, the port the settings file names
// (its default when none) is opened on loopback, a failure told in a box and
// the toggle left off with the way out; either way the state is kept for the next start, and
// a file that cannot be written is said so.
void keepToggle(bool on, const ToggleKeys &keys, const std::function<bool(quint16)> &open,
                const std::function<void()> &close, QString &errorText, const std::function<QString(int)> &outOfRange,
                const QString &wayOut, QWidget *form, const QString &caption)
{
    TIniFile settings(SettingsFilePath());
    if (on) {
        const int port = settings.ReadInteger(keys.section, keys.portKey, keys.defaultPort);
        if (!(port >= 0 && port <= 65535 && open(quint16(port)))) {
            if (errorText.isEmpty())
                errorText = outOfRange(port);
            close();
            // The way out, where the port is taken (say by another window).
            showMessageBox(form, wayOut.isEmpty() ? errorText : errorText + QLatin1Char('\n') + wayOut, caption);
            return;
        }
    } else {
        close();
    }
    try {
        if (settings.ReadInteger(keys.section, keys.enabledKey, 0) != (on ? 1 : 0))
            settings.WriteInteger(keys.section, keys.enabledKey, on ? 1 : 0);
        if (settings.ReadInteger(keys.section, keys.portKey, -1) < 0)
            settings.WriteInteger(keys.section, keys.portKey, keys.defaultPort);
    } catch (const std::exception &error) {
        showMessageBox(form, QString::fromUtf8(error.what()), caption);
    }
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
    : QObject(&form)
    , m_form(form)
    , m_toggle(new QAction(Caption(), &form))
    , m_portItem(new QAction(QCoreApplication::translate("WindowRemoteControl", "Порт удалённого управления ..."), &form))
    , m_title(form.windowTitle())
{
    m_toggle->setObjectName(QStringLiteral("RemoteControlMenuItem"));
    m_toggle->setCheckable(true);
    m_toggle->setToolTip(QCoreApplication::translate("WindowRemoteControl", "Управление генератором по SCPI через TCP-порт этого компьютера"));
    form.PopupMenu->insertAction(form.N3, m_toggle);
    connect(m_toggle, &QAction::toggled, this, &WindowRemoteControl::toggled);
    m_portItem->setObjectName(QStringLiteral("RemotePortMenuItem"));
    form.PopupMenu->insertAction(form.N3, m_portItem);
    connect(m_portItem, &QAction::triggered, this, &WindowRemoteControl::choosePort);

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
    keepToggle(on, {section(), enabledKey(), portKey(), G740Remote::DefaultPort},
               [this](quint16 port) { return open(QHostAddress(QHostAddress::LocalHost), port); },
               [this] { close(); }, m_errorText,
               [](int port) {
                   return QCoreApplication::translate("WindowRemoteControl", "Порт удалённого управления %1 в файле настроек вне 0..65535").arg(port);
               },
               QCoreApplication::translate("WindowRemoteControl", "Другой порт выбирается в меню: \"%1\".").arg(m_portItem->text()),
               &m_form, Caption());
}

quint16 WindowRemoteControl::keptPort() const
{
    const int port = TIniFile(SettingsFilePath()).ReadInteger(section(), portKey(), G740Remote::DefaultPort);
    return port >= 0 && port <= 65535 ? quint16(port) : G740Remote::DefaultPort;
}

void WindowRemoteControl::choosePort()
{
    RemotePortDialog dialog(keptPort(), &m_form);
    // The same port again leaves the clients connected.
    if (dialog.exec() != QDialog::Accepted || dialog.port() == keptPort())
        return;
    try {
        TIniFile(SettingsFilePath()).WriteInteger(section(), portKey(), dialog.port());
    } catch (const std::exception &error) {
        showMessageBox(&m_form, QString::fromUtf8(error.what()), Caption());
        return;
    }
    // Open on the new port at once; the clients of the old one are let go.
    if (m_remote)
        toggled(true);
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

namespace {

QString WebCaption()
{
    return QCoreApplication::translate("WindowRemoteControl", "Веб-страница");
}

} // namespace

WindowWebPage::WindowWebPage(TMainForm &form, WindowRemoteControl &remote)
    : QObject(&form), m_form(form), m_remote(remote), m_toggle(new QAction(WebCaption(), &form))
{
    m_toggle->setObjectName(QStringLiteral("WebPageMenuItem"));
    m_toggle->setCheckable(true);
    m_toggle->setToolTip(QCoreApplication::translate("WindowRemoteControl", "Страница генератора в браузере: состояние, параметры, запуск"));
    form.PopupMenu->insertAction(form.N3, m_toggle);
    connect(m_toggle, &QAction::toggled, this, &WindowWebPage::toggled);
    // The page shows the SCPI port while remote control is on, and remote
    // control announces the page.
    connect(remote.toggle(), &QAction::toggled, this, [this] {
        if (m_web)
            m_web->programChanged();
        announcePort();
    });
    QTimer::singleShot(0, this, [this] {
        const TIniFile settings(SettingsFilePath());
        if (!m_web && settings.ReadInteger(WebPageSettings::Section.toString(), WebPageSettings::Enabled.toString(), 0) != 0)
            m_toggle->setChecked(true);
    });
}

WindowWebPage::~WindowWebPage() = default;

bool WindowWebPage::open(const QHostAddress &address, quint16 port)
{
    m_errorText.clear();
    m_web.reset();
    WebProgram program = webPageProgram([this] { return m_remote.remote(); });
    program.busy = [this]() -> std::optional<QString> {
        if (m_form.DetectionRunning)
            return QCoreApplication::translate("WindowRemoteControl", "идёт обнаружение модуля");
        return std::nullopt;
    };
    auto web = std::make_unique<G740Web>(m_form.instrument(), program);
    if (!web->listen(address, port)) {
        m_errorText = G740Web::failureText(port, web->errorString());
        return false;
    }
    m_web = std::move(web);
    announcePort();
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(true);
    return true;
}

void WindowWebPage::announcePort()
{
    if (G740Remote *remote = m_remote.remote())
        remote->setWebPort(m_web ? m_web->port() : 0);
}

void WindowWebPage::close()
{
    m_web.reset();
    announcePort();
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(false);
}

void WindowWebPage::toggled(bool on)
{
    keepToggle(on, {WebPageSettings::Section.toString(), WebPageSettings::Enabled.toString(), WebPageSettings::Port.toString(), G740Web::DefaultPort},
               [this](quint16 port) { return open(QHostAddress(QHostAddress::LocalHost), port); },
               [this] { close(); }, m_errorText,
               [](int port) {
                   return QCoreApplication::translate("WindowRemoteControl", "Порт веб-страницы %1 в файле настроек вне 0..65535").arg(port);
               },
               QString(), &m_form, WebCaption());
}
