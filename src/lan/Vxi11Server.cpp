#include "lan/Vxi11Server.h"

#include "rpc/RpcMessage.h"
#include "lan/ScpiLink.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <climits>

namespace {

enum Procedure : std::uint32_t
{
    Null = 0,
    CreateLink = 10,
    DeviceWrite = 11,
    DeviceRead = 12,
    DeviceReadStb = 13,
    DeviceTrigger = 14,
    DeviceClear = 15,
    DeviceRemote = 16,
    DeviceLocal = 17,
    DeviceLock = 18,
    DeviceUnlock = 19,
    DeviceEnableSrq = 20,
    DeviceDocmd = 22,
    DestroyLink = 23,
    CreateIntrChan = 25,
    DestroyIntrChan = 26,
    DeviceAbort = 1, // on the abort channel
};

constexpr qint64 SocketReadBuffer = 256 * 1024;
constexpr qint64 MaxPendingOutput = 2 * 1024 * 1024;
constexpr int RecordsPerTurn = 64;
constexpr std::uint32_t MaxDeviceName = 256;

// The results of a procedure that failed with error: the error and zeros
// (or empty data) for the fields the procedure returns after it.
QByteArray failure(std::uint32_t procedure, std::int32_t error)
{
    XdrWriter results;
    results.int32(error);
    switch (procedure) {
    case CreateLink: results.int32(0).uint32(0).uint32(0); break;
    case DeviceWrite: results.uint32(0); break;
    case DeviceRead: results.int32(0).opaque({}); break;
    case DeviceReadStb: results.uint32(0); break;
    case DeviceDocmd: results.opaque({}); break;
    default: break;
    }
    return results.data();
}

} // namespace

Vxi11Connection::Vxi11Connection(QTcpSocket *socket, Vxi11Server &server, bool abortChannel)
    : m_socket(socket), m_server(server), m_abortChannel(abortChannel), m_records(Vxi11Server::MaxRecord)
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(SocketReadBuffer);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_held)
            answer(*m_held, true);
    });
    m_wake.setSingleShot(true);
    m_wake.setInterval(0);
    connect(&m_wake, &QTimer::timeout, this, [this] {
        if (m_held)
            answer(*m_held, false);
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &Vxi11Connection::pump);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_socket->bytesToWrite() < MaxPendingOutput / 2)
            pump();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &Vxi11Connection::closed);
}

Vxi11Connection::~Vxi11Connection()
{
    m_socket->disconnect(this);
}

void Vxi11Connection::close()
{
    m_socket->abort();
}

void Vxi11Connection::schedulePump()
{
    if (m_pumpScheduled)
        return;
    m_pumpScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_pumpScheduled = false;
        pump();
    });
}

void Vxi11Connection::pump()
{
    for (int records = 0; records < RecordsPerTurn; ++records) {
        if (m_held || m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        // A client that does not take its replies gets no more until it does.
        if (m_socket->bytesToWrite() > MaxPendingOutput)
            return;
        if (std::optional<QByteArray> record = m_records.takeRecord()) {
            answer(*record, false);
            continue;
        }
        // Often the next call is already there: no turn of the event loop
        // between a reply and reading it.
        const qint64 available = m_socket->bytesAvailable();
        if (available <= 0)
            return;
        if (!m_records.feed(m_socket->read(std::min(available, SocketReadBuffer)))) {
            // A record beyond any limit: the stream cannot be trusted further.
            m_socket->abort();
            return;
        }
    }
    schedulePump();
}

void Vxi11Connection::answer(const QByteArray &record, bool expired)
{
    const Vxi11Server::Outcome outcome = m_server.dispatch(*this, record, {expired, m_aborted});
    if (!outcome.reply && !outcome.drop) {
        if (!m_held) {
            m_held = record;
            m_deadline.start(int(std::min<std::uint32_t>(outcome.waitMs, INT_MAX)));
        }
        return;
    }
    const bool wasHeld = m_held.has_value();
    m_held.reset();
    m_aborted = false;
    m_deadline.stop();
    if (outcome.reply)
        send(*outcome.reply);
    // A held call ends outside pump(): the calls behind it go on from here.
    if (wasHeld)
        schedulePump();
}

void Vxi11Connection::send(const QByteArray &reply)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(RecordAssembler::frame(reply));
    // Out now rather than on the next turn of the event loop: the client
    // waits for this reply before it sends anything more.
    m_socket->flush();
}

void Vxi11Connection::wake()
{
    if (m_held)
        m_wake.start();
}

void Vxi11Connection::abortHeldCall()
{
    if (!m_held)
        return;
    m_aborted = true;
    wake();
}

Vxi11Server::Vxi11Server(const ScpiCommandTree &tree, ScpiScheduler &scheduler, QObject *parent)
    : QObject(parent), m_tree(tree), m_scheduler(scheduler), m_core(new QTcpServer(this)), m_abort(new QTcpServer(this))
{
    connect(m_core, &QTcpServer::newConnection, this, [this] { acceptConnections(m_core, false); });
    connect(m_abort, &QTcpServer::newConnection, this, [this] { acceptConnections(m_abort, true); });
}

Vxi11Server::~Vxi11Server()
{
    for (const QPointer<Vxi11Connection> &connection : std::as_const(m_connections))
        if (connection)
            connection->disconnect(this);
}

bool Vxi11Server::listen(const QHostAddress &address, quint16 port)
{
    if (!m_core->listen(address, port))
        return false;
    if (!m_abort->listen(address, 0)) {
        m_core->close();
        return false;
    }
    return true;
}

void Vxi11Server::close()
{
    m_core->close();
    m_abort->close();
}

bool Vxi11Server::isListening() const
{
    return m_core->isListening();
}

quint16 Vxi11Server::corePort() const
{
    return m_core->serverPort();
}

quint16 Vxi11Server::abortPort() const
{
    return m_abort->serverPort();
}

QString Vxi11Server::errorString() const
{
    return m_core->errorString().isEmpty() ? m_abort->errorString() : m_core->errorString();
}

void Vxi11Server::acceptConnections(QTcpServer *server, bool abortChannel)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        m_connections.removeAll(nullptr);
        if (m_connections.size() >= MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *connection = new Vxi11Connection(socket, *this, abortChannel);
        connection->setParent(this);
        m_connections.append(connection);
        connect(connection, &Vxi11Connection::closed, this, [this, connection] { dropConnection(connection); });
    }
}

void Vxi11Server::dropConnection(Vxi11Connection *connection)
{
    // Its links go, and the lock with them.
    const auto before = m_links.size();
    for (auto it = m_links.begin(); it != m_links.end();) {
        if (it->second.owner == connection) {
            releaseLock(it->first);
            it = m_links.erase(it);
        } else {
            ++it;
        }
    }
    m_connections.removeAll(connection);
    connection->deleteLater();
    if (m_links.size() != before)
        emit linkCountChanged(linkCount());
}

void Vxi11Server::releaseLock(std::int32_t lid)
{
    if (m_lockOwner != lid)
        return;
    m_lockOwner = -1;
    wakeAll();
}

void Vxi11Server::wakeAll()
{
    for (const QPointer<Vxi11Connection> &connection : std::as_const(m_connections))
        if (connection)
            connection->wake();
}

Vxi11Server::Link *Vxi11Server::ownLink(Vxi11Connection &connection, std::int32_t lid)
{
    const auto it = m_links.find(lid);
    if (it == m_links.end() || it->second.owner != &connection)
        return nullptr;
    return &it->second;
}

Vxi11Server::Outcome Vxi11Server::dispatch(Vxi11Connection &connection, QByteArrayView record, Attempt attempt)
{
    const std::optional<RpcCall> call = Rpc::parseCall(record);
    if (!call)
        return {std::nullopt, 0, true};
    if (!call->rpcVersionOk)
        return {Rpc::rpcMismatch(call->xid), 0, false};
    const std::uint32_t program = connection.isAbortChannel() ? Vxi11::AbortProgram : Vxi11::CoreProgram;
    if (call->program != program)
        return {Rpc::programUnavailable(call->xid), 0, false};
    if (call->version != Vxi11::Version)
        return {Rpc::programMismatch(call->xid, Vxi11::Version, Vxi11::Version), 0, false};
    XdrReader args(call->arguments);
    Outcome outcome = connection.isAbortChannel() ? abortCall(call->procedure, args)
                                                  : coreCall(connection, call->procedure, args, attempt);
    if (!outcome.reply && outcome.drop) // no such procedure
        return {Rpc::procedureUnavailable(call->xid), 0, false};
    if (args.failed())
        return {Rpc::garbageArguments(call->xid), 0, false};
    if (outcome.reply)
        outcome.reply = Rpc::success(call->xid, *outcome.reply);
    return outcome;
}

Vxi11Server::Outcome Vxi11Server::abortCall(std::uint32_t procedure, XdrReader &args)
{
    if (procedure == Null)
        return {QByteArray(), 0, false};
    if (procedure != DeviceAbort)
        return {std::nullopt, 0, true};
    const auto lid = args.int32();
    if (!lid)
        return {QByteArray(), 0, false};
    const auto it = m_links.find(*lid);
    if (it == m_links.end())
        return {failure(procedure, Vxi11::InvalidLinkId), 0, false};
    it->second.owner->abortHeldCall();
    return {failure(procedure, Vxi11::NoError), 0, false};
}

std::optional<Vxi11Server::Outcome> Vxi11Server::lockedOut(std::int32_t lid, std::uint32_t lockTimeout, Attempt attempt,
                                                           std::uint32_t procedure) const
{
    if (m_lockOwner < 0 || m_lockOwner == lid)
        return std::nullopt;
    if (attempt.aborted)
        return Outcome{failure(procedure, Vxi11::Aborted), 0, false};
    if (attempt.expired || lockTimeout == 0)
        return Outcome{failure(procedure, Vxi11::DeviceLocked), 0, false};
    return Outcome{std::nullopt, lockTimeout, false};
}

Vxi11Server::Outcome Vxi11Server::createLink(Vxi11Connection &connection, XdrReader &args, Attempt attempt)
{
    args.int32(); // clientId: only for the device's own records
    const auto lockDevice = args.boolean();
    const auto lockTimeout = args.uint32();
    const auto device = args.opaque(MaxDeviceName);
    if (args.failed())
        return {QByteArray(), 0, false};
    if (device->compare("inst0", Qt::CaseInsensitive) != 0)
        return {failure(CreateLink, Vxi11::DeviceNotAccessible), 0, false};
    const auto own = std::count_if(m_links.begin(), m_links.end(), [&](const auto &link) { return link.second.owner == &connection; });
    if (own >= MaxLinksPerConnection)
        return {failure(CreateLink, Vxi11::OutOfResources), 0, false};
    if (*lockDevice) {
        if (std::optional<Outcome> locked = lockedOut(-1, *lockTimeout, attempt, CreateLink))
            return *locked;
    }
    const std::int32_t lid = m_nextLid;
    m_nextLid = m_nextLid == INT_MAX ? 1 : m_nextLid + 1;
    m_links[lid] = Link{&connection, std::make_unique<ScpiLink>(m_tree, m_scheduler, [this] { wakeAll(); })};
    if (*lockDevice)
        m_lockOwner = lid;
    emit linkCountChanged(linkCount());
    XdrWriter results;
    results.int32(Vxi11::NoError).int32(lid).uint32(abortPort()).uint32(MaxRecvSize);
    return {results.data(), 0, false};
}

Vxi11Server::Outcome Vxi11Server::destroyLink(Vxi11Connection &connection, std::int32_t lid)
{
    if (!ownLink(connection, lid))
        return {failure(DestroyLink, Vxi11::InvalidLinkId), 0, false};
    releaseLock(lid);
    m_links.erase(lid);
    emit linkCountChanged(linkCount());
    return {failure(DestroyLink, Vxi11::NoError), 0, false};
}

Vxi11Server::Outcome Vxi11Server::coreCall(Vxi11Connection &connection, std::uint32_t procedure, XdrReader &args,
                                           Attempt attempt)
{
    const auto done = [](QByteArray results) { return Outcome{std::move(results), 0, false}; };
    switch (procedure) {
    case Null:
        return done({});
    case CreateLink:
        return createLink(connection, args, attempt);
    case DeviceEnableSrq:
    case DeviceDocmd:
    case CreateIntrChan:
    case DestroyIntrChan:
        return done(failure(procedure, Vxi11::OperationNotSupported));
    case DeviceWrite:
    case DeviceRead:
    case DeviceReadStb:
    case DeviceTrigger:
    case DeviceClear:
    case DeviceRemote:
    case DeviceLocal:
    case DeviceLock:
    case DeviceUnlock:
    case DestroyLink:
        break;
    default:
        return {std::nullopt, 0, true};
    }

    // All arguments are read before any is judged: a call cut short is
    // garbage whatever its link.
    const auto lid = args.int32();
    std::uint32_t ioTimeout = 0;
    std::uint32_t lockTimeout = 0;
    std::uint32_t flags = 0;
    std::uint32_t requestSize = 0;
    std::int32_t termChar = 0;
    QByteArrayView data;
    if (procedure == DeviceWrite) {
        ioTimeout = args.uint32().value_or(0);
        lockTimeout = args.uint32().value_or(0);
        flags = args.uint32().value_or(0);
        data = args.opaque(std::uint32_t(MaxRecord)).value_or(QByteArrayView());
    } else if (procedure == DeviceRead) {
        requestSize = args.uint32().value_or(0);
        ioTimeout = args.uint32().value_or(0);
        lockTimeout = args.uint32().value_or(0);
        flags = args.uint32().value_or(0);
        termChar = args.int32().value_or(0);
    } else if (procedure == DeviceLock) {
        flags = args.uint32().value_or(0);
        lockTimeout = args.uint32().value_or(0);
    } else if (procedure != DestroyLink && procedure != DeviceUnlock) {
        flags = args.uint32().value_or(0);
        lockTimeout = args.uint32().value_or(0);
        ioTimeout = args.uint32().value_or(0);
    }
    if (args.failed())
        return done({});
    if (procedure == DestroyLink)
        return destroyLink(connection, *lid);
    Link *link = ownLink(connection, *lid);
    if (!link)
        return done(failure(procedure, Vxi11::InvalidLinkId));
    if (procedure == DeviceUnlock) {
        if (m_lockOwner != *lid)
            return done(failure(procedure, Vxi11::NoLockHeld));
        releaseLock(*lid);
        return done(failure(procedure, Vxi11::NoError));
    }
    if (std::optional<Outcome> locked = lockedOut(*lid, lockTimeout, attempt, procedure))
        return *locked;

    switch (procedure) {
    case DeviceLock:
        m_lockOwner = *lid;
        return done(failure(procedure, Vxi11::NoError));
    case DeviceWrite: {
        link->scpi->write(data, flags & Vxi11::EndFlag);
        XdrWriter results;
        results.int32(Vxi11::NoError).uint32(std::uint32_t(data.size()));
        return done(results.data());
    }
    case DeviceRead: {
        if (!link->scpi->hasOutput()) {
            if (attempt.aborted)
                return done(failure(procedure, Vxi11::Aborted));
            if (attempt.expired || ioTimeout == 0)
                return done(failure(procedure, Vxi11::IoTimeout));
            return {std::nullopt, ioTimeout, false};
        }
        const std::optional<char> stop = (flags & Vxi11::TermCharSet) ? std::optional<char>(char(termChar)) : std::nullopt;
        bool complete = false;
        const QByteArray part = link->scpi->read(std::min(requestSize, MaxReadSize), stop, complete);
        std::int32_t reason = 0;
        if (complete)
            reason |= Vxi11::EndReason;
        if (stop && part.endsWith(*stop))
            reason |= Vxi11::TermChar;
        if (!reason)
            reason = Vxi11::RequestCount;
        XdrWriter results;
        results.int32(Vxi11::NoError).int32(reason).opaque(part);
        return done(results.data());
    }
    case DeviceReadStb: {
        XdrWriter results;
        results.int32(Vxi11::NoError).uint32(link->scpi->statusByte());
        return done(results.data());
    }
    case DeviceClear:
        link->scpi->clear();
        return done(failure(procedure, Vxi11::NoError));
    default: // trigger, remote, local: nothing for this instrument to do
        return done(failure(procedure, Vxi11::NoError));
    }
}
