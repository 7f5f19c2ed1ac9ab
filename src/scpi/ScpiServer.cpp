#include "scpi/ScpiServer.h"

#include "scpi/ScpiClient.h"
#include "scpi/ScpiError.h"
#include "scpi/ScpiScheduler.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <poll.h>

namespace {

// What Qt may hold for one socket before we read it.
constexpr qint64 SocketReadBuffer = 256 * 1024;
// A refused client that does not close gets dropped after this.
constexpr int RefusalGraceMs = 2000;

ScpiError tooLong()
{
    return {ScpiErrorCode::TooMuchData, QStringLiteral("line longer than 64 KiB discarded")};
}

} // namespace

ScpiConnection::ScpiConnection(QTcpSocket *socket, const ScpiCommandTree &tree, ScpiScheduler &scheduler,
                               QObject *parent)
    : QObject(parent), m_socket(socket), m_client(new ScpiClient(scheduler, tree, this))
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(SocketReadBuffer);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_client->session().setOutputPending([this] { return !m_gone && m_socket->bytesToWrite() > 0; });
    connect(m_client, &ScpiClient::finished, this, &ScpiConnection::answer);
    connect(m_client, &ScpiClient::idle, this, &ScpiConnection::deleteWhenDone);
    connect(m_client, &ScpiClient::sliceStarting, this, &ScpiConnection::dropIfReset);
    connect(m_socket, &QTcpSocket::readyRead, this, &ScpiConnection::readLines);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &ScpiConnection::updateHold);
    connect(m_socket, &QTcpSocket::disconnected, this, &ScpiConnection::socketGone);
}

ScpiConnection::~ScpiConnection()
{
    // The socket goes with this object; nothing of it may reach us on its way.
    m_socket->disconnect(this);
}

short ScpiConnection::peerState() const
{
    pollfd check{int(m_socket->socketDescriptor()), POLLRDHUP, 0};
    if (check.fd < 0)
        return POLLHUP;
    return ::poll(&check, 1, 0) > 0 ? check.revents : 0;
}

bool ScpiConnection::peerHasClosed() const
{
    return m_gone || (peerState() & (POLLRDHUP | POLLHUP | POLLERR));
}

void ScpiConnection::dropIfReset()
{
    // A socket we do not read (its lines wait) would tell of a reset only
    // when read again; its client must not be served as if it were there.
    if (!m_gone && (peerState() & (POLLHUP | POLLERR)))
        socketGone();
}

void ScpiConnection::leave()
{
    if (!m_counted)
        return;
    m_counted = false;
    emit closed();
}

void ScpiConnection::readLines()
{
    while (!m_gone && m_client->waiting() < MaxWaitingLines) {
        const qsizetype end = m_buffer.indexOf('\n', m_searched);
        if (end < 0) {
            // Keep only the unfinished line, then read more.
            m_buffer.remove(0, m_start);
            m_start = 0;
            m_searched = m_buffer.size();
            if (m_buffer.size() > MaxLineLength) {
                if (!m_discarding)
                    m_client->submitError(tooLong());
                m_discarding = true;
                m_buffer.clear();
                m_searched = 0;
            }
            // A socket closed by a reset has nothing more to give.
            const qint64 available = m_socket->isOpen() ? m_socket->bytesAvailable() : 0;
            if (available <= 0)
                return;
            m_buffer += m_socket->read(std::min<qint64>(available, SocketReadBuffer));
            continue;
        }
        const QByteArrayView line = QByteArrayView(m_buffer).sliced(m_start, end - m_start);
        m_start = m_searched = end + 1;
        if (std::exchange(m_discarding, false))
            continue; // the end of a line already reported as too long
        if (line.size() > MaxLineLength)
            m_client->submitError(tooLong());
        else
            m_client->submit(line.toByteArray());
    }
}

void ScpiConnection::answer(const QByteArray &response)
{
    if (!response.isEmpty() && !m_gone && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->write(response);
    updateHold();
    readLines();
}

void ScpiConnection::updateHold()
{
    // A client that does not read its answers waits for them to drain; one
    // that has gone waits for nothing, its answers go nowhere.
    const qint64 unsent = m_gone ? 0 : m_socket->bytesToWrite();
    if (unsent > MaxPendingOutput)
        m_client->setHeld(true);
    else if (unsent < MaxPendingOutput / 2 && m_client->isHeld())
        m_client->setHeld(false);
}

void ScpiConnection::socketGone()
{
    if (m_gone)
        return;
    // What the client sent whole before it left still runs; a socket closed
    // by a reset has nothing left to read.
    if (m_socket->isOpen())
        m_buffer += m_socket->readAll();
    m_gone = true;
    qsizetype start = m_start;
    for (qsizetype end; m_client->waiting() < MaxWaitingLines && (end = m_buffer.indexOf('\n', start)) >= 0;
         start = end + 1) {
        if (!m_discarding && end - start <= MaxLineLength)
            m_client->submit(m_buffer.sliced(start, end - start));
        m_discarding = false;
    }
    m_buffer.clear();
    m_start = m_searched = 0;
    m_client->detach();
    // Nothing more is read or sent (abort() comes back here, and returns).
    m_socket->abort();
    leave();
    deleteWhenDone();
}

void ScpiConnection::deleteWhenDone()
{
    if (m_gone && m_client->isIdle())
        deleteLater();
}

ScpiServer::ScpiServer(const ScpiCommandTree &tree, QObject *parent)
    : ScpiServer(tree, *new ScpiScheduler, parent)
{
    m_scheduler->setParent(this);
}

ScpiServer::ScpiServer(const ScpiCommandTree &tree, ScpiScheduler &scheduler, QObject *parent)
    : QObject(parent), m_tree(tree), m_scheduler(&scheduler), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &ScpiServer::acceptConnections);
}

ScpiServer::~ScpiServer()
{
    // The connections go before a scheduler of our own does.
    for (ScpiConnection *connection : findChildren<ScpiConnection *>(Qt::FindDirectChildrenOnly))
        delete connection;
}

bool ScpiServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void ScpiServer::close()
{
    m_server->close();
}

bool ScpiServer::isListening() const
{
    return m_server->isListening();
}

quint16 ScpiServer::serverPort() const
{
    return m_server->serverPort();
}

QHostAddress ScpiServer::serverAddress() const
{
    return m_server->serverAddress();
}

QString ScpiServer::errorString() const
{
    return m_server->errorString();
}

void ScpiServer::countOutClosed()
{
    for (ScpiConnection *connection : findChildren<ScpiConnection *>(Qt::FindDirectChildrenOnly)) {
        connection->dropIfReset();
        if (connection->peerHasClosed())
            connection->leave();
    }
}

void ScpiServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // A client that closed and came straight back must not find its old
        // connection still counted.
        if (m_clients >= MaxClients)
            countOutClosed();
        if (m_clients >= MaxClients) {
            refuse(socket);
            continue;
        }
        // Taken now: a closed socket no longer knows its peer.
        const QHostAddress address = socket->peerAddress();
        const quint16 port = socket->peerPort();
        auto *connection = new ScpiConnection(socket, m_tree, *m_scheduler, this);
        ++m_clients;
        connect(connection, &ScpiConnection::closed, this, [this, address, port] {
            --m_clients;
            emit clientCountChanged(m_clients);
            emit clientLeft(address, port);
        });
        emit clientCountChanged(m_clients);
        emit clientConnected(address, port);
    }
}

void ScpiServer::refuse(QTcpSocket *socket)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(QStringLiteral("busy: remote control serves at most %1 clients at once; closing\n")
                      .arg(MaxClients)
                      .toLatin1());
    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState)
        QTimer::singleShot(RefusalGraceMs, socket, [socket] { socket->abort(); });
}
