#include "remote/G740Remote.h"
#include "remote/RemoteEnglish.h"

#include "settings/IniFile.h"
#include "instrument/Instrument.h"
#include "lan/MdnsPublisher.h"
#include "lan/PortmapRegistration.h"
#include "lan/Vxi11Server.h"
#include "runtime/ProgramIdentity.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace {

// The portmapper's port, where VXI-11 clients look first.
constexpr quint16 PortmapperPort = 111;
constexpr std::uint16_t NoSlot = 0xFFFF;

} // namespace

G740Remote::G740Remote(Instrument &instrument, const G740Program &program, QObject *parent)
    : QObject(parent)
    , m_instrument(instrument)
    , m_tree(g740CommandTree(instrument, program, this))
    , m_server(std::make_unique<ScpiServer>(m_tree, m_scheduler))
{
    // Saves and stored sets within one client's share of a turn become one
    // replacement of the settings file each.
    m_scheduler.setDeferredWrites({&IniWriteBack::open, &IniWriteBack::commit});
    connect(m_server.get(), &ScpiServer::clientCountChanged, this, [this] { emit clientCountChanged(clientCount()); });
    // Every client learns of a lost module from its error queue, whatever it
    // was doing: a generator it had started is stopped now.
    connect(&instrument, &Instrument::moduleLost, this, [this](const QString &text) {
        m_scheduler.reportToAll({ScpiErrorCode::HardwareMissing, text});
    });
    connect(m_server.get(), &ScpiServer::clientConnected, this, &G740Remote::clientConnected);
    connect(m_server.get(), &ScpiServer::clientLeft, this, &G740Remote::clientLeft);
    // The tree's commands run inside a RemoteEnglish scope: a change seen
    // there is a client's.
    connect(&instrument, &Instrument::runningChanged, this, [this](bool running) {
        if (RemoteEnglish::inCommand())
            emit runningChangedByClient(running);
    });
}

G740Remote::~G740Remote() = default;

bool G740Remote::listen(const QHostAddress &address, quint16 port)
{
    m_notices.clear();
    if (!m_server->listen(address, port))
        return false;
    if (m_vxi11Enabled)
        openLan(address);
    return true;
}

void G740Remote::openLan(const QHostAddress &address)
{
    m_vxi11 = std::make_unique<Vxi11Server>(m_tree, m_scheduler);
    if (!m_vxi11->listen(address)) {
        m_notices << QCoreApplication::translate("G740Remote", "VXI-11 не открыт: %1").arg(m_vxi11->errorString());
        m_vxi11.reset();
        return;
    }
    connect(m_vxi11.get(), &Vxi11Server::linkCountChanged, this, [this] { emit clientCountChanged(clientCount()); });
    m_notices << vxi11Text(m_vxi11->corePort());
    m_registration = std::make_unique<PortmapRegistration>(Vxi11::CoreProgram, Vxi11::Version, m_vxi11->corePort());
    if (!m_registration->text().isEmpty())
        m_notices << m_registration->text();
    // Announced only where others can reach it, under the module's slot:
    // again whenever a detection ends.
    if (address.isLoopback())
        return;
    connect(&m_instrument, &Instrument::moduleChanged, this, [this] {
        if (m_mdns ? m_mdnsSlot != m_instrument.slot() : m_instrument.slot() != NoSlot)
            if (const QString failed = announce(); !failed.isEmpty())
                emit noticed(failed);
    });
    if (const QString failed = announce(); !failed.isEmpty())
        m_notices << failed;
}

QString G740Remote::announce()
{
    m_mdns.reset();
    m_mdnsSlot = m_instrument.slot();
    if (m_mdnsSlot == NoSlot)
        return {};
    const QString name = QStringLiteral("%1 slot %2 on %3")
                             .arg(ProgramIdentity::model())
                             .arg(m_instrument.slot())
                             .arg(QSysInfo::machineHostName());
    const QStringList txt{QStringLiteral("txtvers=1"),
                          QStringLiteral("Manufacturer=") + ProgramIdentity::maker(),
                          QStringLiteral("Model=") + ProgramIdentity::model(),
                          QStringLiteral("SerialNumber=%1").arg(m_instrument.slot()),
                          QStringLiteral("FirmwareVersion=") + ProgramIdentity::version()};
    QList<MdnsPublisher::Service> services{{QStringLiteral("_scpi-raw._tcp"), m_server->serverPort()}};
    // LXI's service names the instrument's web page, so it comes with one.
    if (m_webPort != 0) {
        services.append({QStringLiteral("_lxi._tcp"), m_webPort});
        services.append({QStringLiteral("_http._tcp"), m_webPort});
    }
    // Only the copy the portmapper names is VXI-11's port-111 instrument.
    if (m_registration->state() == PortmapRegistration::State::Registered)
        services.append({QStringLiteral("_vxi-11._tcp"), PortmapperPort});
    m_mdns = std::make_unique<MdnsPublisher>(name, services, txt);
    if (m_mdns->isAvailable())
        return {};
    m_mdns.reset();
    return MdnsPublisher::unavailableText();
}

void G740Remote::setWebPort(quint16 port)
{
    if (port == m_webPort)
        return;
    m_webPort = port;
    // Announced again only where it is announced at all.
    if (m_mdns) {
        if (const QString failed = announce(); !failed.isEmpty())
            emit noticed(failed);
    }
}

void G740Remote::close()
{
    m_mdns.reset();
    m_registration.reset();
    m_vxi11.reset();
    m_server->close();
}

quint16 G740Remote::vxi11Port() const
{
    return m_vxi11 ? m_vxi11->corePort() : 0;
}

QString G740Remote::vxi11Text(quint16 port)
{
    return QStringLiteral("vxi-11 on port %1").arg(port);
}

bool G740Remote::isListening() const
{
    return m_server->isListening();
}

quint16 G740Remote::port() const
{
    return m_server->serverPort();
}

QString G740Remote::errorString() const
{
    return m_server->errorString();
}

int G740Remote::clientCount() const
{
    return m_server->clientCount() + (m_vxi11 ? m_vxi11->linkCount() : 0);
}

QString G740Remote::listeningText(quint16 port)
{
    return QStringLiteral("remote control on port %1").arg(port);
}

QString G740Remote::failureText(quint16 port, const QString &reason)
{
    return QCoreApplication::translate("G740Remote", "Не могу открыть порт удалённого управления %1: %2").arg(port).arg(reason);
}
