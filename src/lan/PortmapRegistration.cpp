#include "lan/PortmapRegistration.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <rpc/pmap_clnt.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr quint16 PortmapperPort = 111;

// Whether a TCP connection to this loopback port is taken. On loopback the
// answer is immediate, so the event loop does not notice the wait.
bool answers(quint16 port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = ::connect(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(socket);
    return connected;
}

} // namespace

PortmapRegistration::PortmapRegistration(std::uint32_t program, std::uint32_t version, quint16 port)
    : m_program(program), m_version(version), m_port(port)
{
    // Without this check libtirpc would wait out its timeouts when no
    // portmapper runs.
    if (!answers(PortmapperPort)) {
        m_state = State::NoPortmapper;
        return;
    }
    const quint16 registered = registeredPort();
    if (registered != 0 && registered != port && answers(registered)) {
        m_otherPort = registered;
        m_state = State::HeldByOther;
        return;
    }
    // A stale entry of a copy that did not end cleanly goes first: the
    // portmapper refuses a second port for the same program.
    if (registered != 0)
        pmap_unset(program, version);
    m_state = pmap_set(program, version, IPPROTO_TCP, port) ? State::Registered : State::Refused;
}

PortmapRegistration::~PortmapRegistration()
{
    // Never another process's entry: only while the portmapper still holds
    // ours. A portmapper gone meanwhile would cost libtirpc's timeouts.
    if (m_state == State::Registered && answers(PortmapperPort) && registeredPort() == m_port)
        pmap_unset(m_program, m_version);
}

quint16 PortmapRegistration::registeredPort() const
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(PortmapperPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return pmap_getport(&address, m_program, m_version, IPPROTO_TCP);
}

QString PortmapRegistration::text() const
{
    switch (m_state) {
    case State::Registered:
        return {};
    case State::NoPortmapper:
        return QCoreApplication::translate("PortmapRegistration",
                                           "VXI-11: служба rpcbind не запущена, адрес TCPIP::host::INSTR без порта не работает; "
                                           "порт VXI-11: %1")
            .arg(m_port);
    case State::HeldByOther:
        return QCoreApplication::translate("PortmapRegistration",
                                           "VXI-11: в rpcbind уже записана другая работающая копия программы (порт %1); "
                                           "эта копия доступна по порту VXI-11 %2 и через mDNS")
            .arg(m_otherPort)
            .arg(m_port);
    case State::Refused:
        break;
    }
    return QCoreApplication::translate("PortmapRegistration", "VXI-11: rpcbind не принял запись; порт VXI-11: %1").arg(m_port);
}
