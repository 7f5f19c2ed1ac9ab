#pragma once

#include <QString>

#include <cstdint>

// The VXI-11 core channel's entry in the system's portmapper (rpcbind),
// through libtirpc. The portmapper holds one port per program and version,
// so a copy registers only when no other live process holds the entry, and
// removes only its own entry again (at destruction).
class PortmapRegistration
{
public:
    enum class State
    {
        Registered,
        NoPortmapper,  // nothing answers on the portmapper's port
        HeldByOther,   // another process's port is registered and answers
        Refused,       // the portmapper did not take the entry
    };

    PortmapRegistration(std::uint32_t program, std::uint32_t version, quint16 port);
    ~PortmapRegistration();
    PortmapRegistration(const PortmapRegistration &) = delete;
    PortmapRegistration &operator=(const PortmapRegistration &) = delete;

    State state() const { return m_state; }
    // The port registered now, 0 when none (asks the portmapper).
    quint16 registeredPort() const;
    // The line for the user, in the program's language; empty when registered.
    QString text() const;

private:
    std::uint32_t m_program;
    std::uint32_t m_version;
    quint16 m_port;
    quint16 m_otherPort = 0;
    State m_state = State::Refused;
};
