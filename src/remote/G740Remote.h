#pragma once

#include "remote/G740Commands.h"
#include "scpi/ScpiScheduler.h"
#include "scpi/ScpiServer.h"

#include <QHostAddress>
#include <QObject>
#include <QStringList>

#include <cstdint>
#include <memory>

class MdnsPublisher;
class PortmapRegistration;
class Vxi11Server;

// Remote control of one instrument: the G-740 command tree and the servers
// that answer it: the SCPI socket and VXI-11 (with its portmapper entry and,
// beyond loopback, the mDNS announcement). Each front door (the window, the headless mode)
// makes one when remote control is asked for; the remote changes of the
// record carry this object as their origin.
class G740Remote : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 5025; // the usual SCPI socket port

    G740Remote(Instrument &instrument, const G740Program &program = {}, QObject *parent = nullptr);
    ~G740Remote() override;

    // Before listen(): without VXI-11 only the socket is opened.
    void setVxi11Enabled(bool enabled) { m_vxi11Enabled = enabled; }
    // The instrument's web page listens on port (0: it does not): announced
    // through mDNS as _http._tcp and _lxi._tcp beside the SCPI services.
    void setWebPort(quint16 port);
    // address: the loopback address unless the lab network is meant. False
    // only when the socket's port cannot be opened; what the LAN faces could
    // not do is in notices().
    bool listen(const QHostAddress &address, quint16 port);
    void close();
    bool isListening() const;
    quint16 port() const;
    QString errorString() const;
    // Socket clients and VXI-11 links.
    int clientCount() const;
    // The fair turns every transport of this instrument runs its clients in.
    ScpiScheduler &scheduler() { return m_scheduler; }
    quint16 vxi11Port() const; // 0: none
    // Lines for the user after listen(): the VXI-11 port, and what of the
    // portmapper entry and mDNS did not work.
    QStringList notices() const { return m_notices; }

    // The line written to standard error once the server listens.
    static QString listeningText(quint16 port);
    // The line that gives the VXI-11 core channel's port.
    static QString vxi11Text(quint16 port);
    // Why the port could not be opened.
    static QString failureText(quint16 port, const QString &reason);

signals:
    void clientCountChanged(int count);
    void clientConnected(const QHostAddress &address, quint16 port);
    void clientLeft(const QHostAddress &address, quint16 port);
    // A client's command started or stopped the generator.
    void runningChangedByClient(bool running);
    // A line for the user after listen() (the mDNS announcement failed
    // once a detection gave the module's slot).
    void noticed(const QString &line);

private:
    void openLan(const QHostAddress &address);
    // The mDNS announcement for the module's slot (none without a module);
    // why it failed, or empty.
    QString announce();

    Instrument &m_instrument;
    ScpiCommandTree m_tree;
    ScpiScheduler m_scheduler;
    std::unique_ptr<ScpiServer> m_server;
    bool m_vxi11Enabled = true;
    std::unique_ptr<Vxi11Server> m_vxi11;
    std::unique_ptr<PortmapRegistration> m_registration;
    std::unique_ptr<MdnsPublisher> m_mdns;
    std::uint16_t m_mdnsSlot = 0;
    quint16 m_webPort = 0;
    QStringList m_notices;
};
