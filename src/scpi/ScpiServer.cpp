#include "scpi/ScpiServer.h"

#include "scpi/ScpiError.h"
#include "scpi/ScpiSession.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

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

ScpiConnection::ScpiConnection(QTcpSocket *socket, const ScpiCommandTree &tree, QObject *parent)
    : QObject(parent), m_socket(socket), m_session(std::make_unique<ScpiSession>(tree))
{
    m_socket->setParent(this);
    m_socket->setReadBufferSize(SocketReadBuffer);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_session->setOutputPending([this] { return m_socket->bytesToWrite() > 0; });
    connect(m_socket, &QTcpSocket::readyRead, this, &ScpiConnection::pump);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_socket->bytesToWrite() < MaxPendingOutput / 2)
            pump();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        // What the client sent whole before it left still runs; its
        // answers go nowhere.
        const QByteArray rest = m_buffer.sliced(m_start) + m_socket->readAll();
        m_buffer.clear();
        m_start = m_searched = 0;
        qsizetype start = 0;
        for (qsizetype end; (end = rest.indexOf('\n', start)) >= 0; start = end + 1) {
            if (!m_discarding && end - start <= MaxLineLength)
                m_session->execute(QByteArrayView(rest).sliced(start, end - start));
            m_discarding = false;
        }
        emit closed();
    });
}

ScpiConnection::~ScpiConnection()
{
    // The socket goes with this object; nothing of it may reach us on its way.
    m_socket->disconnect(this);
}

void ScpiConnection::schedulePump()
{
    if (m_pumpScheduled)
        return;
    m_pumpScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_pumpScheduled = false;
        pump();
    });
}

void ScpiConnection::pump()
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    for (int lines = 0; lines < LinesPerTurn; ++lines) {
        // A client that does not read its answers waits for them to drain.
        if (m_socket->bytesToWrite() > MaxPendingOutput)
            return;
        const qsizetype end = m_buffer.indexOf('\n', m_searched);
        if (end < 0) {
            // Keep only the unfinished line, then read more.
            m_buffer.remove(0, m_start);
            m_start = 0;
            m_searched = m_buffer.size();
            if (m_buffer.size() > MaxLineLength)
                discardOverlongLine();
            const qint64 available = m_socket->bytesAvailable();
            if (available <= 0)
                return;
            m_buffer += m_socket->read(std::min<qint64>(available, SocketReadBuffer));
            continue;
        }
        const QByteArrayView line = QByteArrayView(m_buffer).sliced(m_start, end - m_start);
        m_start = m_searched = end + 1;
        if (m_discarding) {
            // The end of a line already reported as too long.
            m_discarding = false;
            continue;
        }
        if (line.size() > MaxLineLength) {
            m_session->pushError(tooLong());
            continue;
        }
        runLine(line);
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
    schedulePump();
}

void ScpiConnection::discardOverlongLine()
{
    if (!m_discarding)
        m_session->pushError(tooLong());
    m_discarding = true;
    m_buffer.clear();
    m_start = m_searched = 0;
}

void ScpiConnection::runLine(QByteArrayView line)
{
    const QByteArray answer = m_session->execute(line);
    if (!answer.isEmpty())
        m_socket->write(answer);
}

ScpiServer::ScpiServer(const ScpiCommandTree &tree, QObject *parent)
    : QObject(parent), m_tree(tree), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &ScpiServer::acceptConnections);
}

ScpiServer::~ScpiServer() = default;

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

void ScpiServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_clients >= MaxClients) {
            refuse(socket);
            continue;
        }
        // Taken now: a closed socket no longer knows its peer.
        const QHostAddress address = socket->peerAddress();
        const quint16 port = socket->peerPort();
        auto *connection = new ScpiConnection(socket, m_tree, this);
        ++m_clients;
        connect(connection, &ScpiConnection::closed, this, [this, connection, address, port] {
            --m_clients;
            connection->deleteLater();
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
