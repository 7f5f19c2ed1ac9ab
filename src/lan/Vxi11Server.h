#pragma once

#include "rpc/Xdr.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;
class ScpiCommandTree;
class ScpiLink;
class ScpiScheduler;
class Vxi11Server;

namespace Vxi11 {

inline constexpr std::uint32_t CoreProgram = 395183;
inline constexpr std::uint32_t AbortProgram = 395184;
inline constexpr std::uint32_t Version = 1;

enum Error : std::int32_t
{
    NoError = 0,
    DeviceNotAccessible = 3,
    InvalidLinkId = 4,
    OperationNotSupported = 8,
    OutOfResources = 9,
    DeviceLocked = 11,
    NoLockHeld = 12,
    IoTimeout = 15,
    Aborted = 23,
};

enum Flag : std::uint32_t
{
    WaitLock = 1,
    EndFlag = 8,
    TermCharSet = 128,
};

enum Reason : std::int32_t
{
    RequestCount = 1,
    TermChar = 2,
    EndReason = 4,
};

} // namespace Vxi11

// One TCP connection to the core or the abort channel: whole RPC records in,
// replies out, one call at a time. A call that has to wait (for a lock, for
// a response) is held, and the rest of the stream with it, until the server
// can answer it or its time is up.
class Vxi11Connection : public QObject
{
    Q_OBJECT

public:
    Vxi11Connection(QTcpSocket *socket, Vxi11Server &server, bool abortChannel);
    ~Vxi11Connection() override;

    bool isAbortChannel() const { return m_abortChannel; }
    // Something a held call may wait for has changed: try it again.
    void wake();
    // device_abort for a link of this connection: a held call ends with
    // the abort error.
    void abortHeldCall();
    void close();

signals:
    void closed();

private:
    void pump();
    void schedulePump();
    void answer(const QByteArray &record, bool expired);
    void send(const QByteArray &reply);

    QTcpSocket *m_socket;
    Vxi11Server &m_server;
    bool m_abortChannel;
    RecordAssembler m_records;
    std::optional<QByteArray> m_held;
    bool m_aborted = false;
    bool m_pumpScheduled = false;
    QTimer m_deadline;
    QTimer m_wake; // a held call looks again, on the next turn
};

// The VXI-11 instrument server: the core channel (program 395183) and the
// abort channel (395184) on two ports, links to the one device "inst0", each
// with its own SCPI session, and the exclusive lock between links. All on
// the event loop; no threads.
class Vxi11Server : public QObject
{
    Q_OBJECT

public:
    // Advertised as maxRecvSize; longer writes are still taken whole.
    static constexpr std::uint32_t MaxRecvSize = 1024;
    // Bigger records close their connection.
    static constexpr qsizetype MaxRecord = 1024 * 1024 + 1024;
    // The largest piece one device_read returns.
    static constexpr std::uint32_t MaxReadSize = 1024 * 1024;
    static constexpr int MaxConnections = 16;
    static constexpr int MaxLinksPerConnection = 16;

    // Links run their messages in the scheduler's fair turns, beside the
    // program's other clients; the scheduler must outlive the server.
    Vxi11Server(const ScpiCommandTree &tree, ScpiScheduler &scheduler, QObject *parent = nullptr);
    ~Vxi11Server() override;

    // Both channels on address: the core channel on port (0: any free),
    // the abort channel on any free port.
    bool listen(const QHostAddress &address, quint16 port = 0);
    void close();
    bool isListening() const;
    quint16 corePort() const;
    quint16 abortPort() const;
    QString errorString() const;
    int linkCount() const { return int(m_links.size()); }

    // How a held call is tried again.
    struct Attempt
    {
        bool expired = false; // its time is up
        bool aborted = false; // device_abort came for its link
    };
    // The reply to one record, or how long the call waits (ms) if it must.
    struct Outcome
    {
        std::optional<QByteArray> reply;
        std::uint32_t waitMs = 0;
        bool drop = false; // no reply at all (not a call)
    };
    Outcome dispatch(Vxi11Connection &connection, QByteArrayView record, Attempt attempt);

signals:
    void linkCountChanged(int count);

private:
    struct Link
    {
        Vxi11Connection *owner = nullptr;
        std::unique_ptr<ScpiLink> scpi;
    };

    void acceptConnections(QTcpServer *server, bool abortChannel);
    void dropConnection(Vxi11Connection *connection);
    Outcome coreCall(Vxi11Connection &connection, std::uint32_t procedure, XdrReader &args, Attempt attempt);
    Outcome abortCall(std::uint32_t procedure, XdrReader &args);
    Outcome createLink(Vxi11Connection &connection, XdrReader &args, Attempt attempt);
    Outcome destroyLink(Vxi11Connection &connection, std::int32_t lid);
    // Where another link holds the lock: the wait or the error for a call
    // with this lock_timeout; nothing when the call may go on.
    std::optional<Outcome> lockedOut(std::int32_t lid, std::uint32_t lockTimeout, Attempt attempt, std::uint32_t procedure) const;
    Link *ownLink(Vxi11Connection &connection, std::int32_t lid);
    void releaseLock(std::int32_t lid);
    void wakeAll();

    const ScpiCommandTree &m_tree;
    ScpiScheduler &m_scheduler;
    QTcpServer *m_core;
    QTcpServer *m_abort;
    QList<QPointer<Vxi11Connection>> m_connections;
    std::map<std::int32_t, Link> m_links;
    std::int32_t m_nextLid = 1;
    std::int32_t m_lockOwner = -1;
};
