#include "web/WebServer.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

WebServer::WebServer(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(std::make_unique<QTcpServer>())
{
    // The server takes new connections itself; the listen backlog stays
    // short, so a flood waits in the kernel, not in this program.
    m_server->setMaxPendingConnections(MaxConnections);
    connect(m_server.get(), &QTcpServer::newConnection, this, &WebServer::accept);
    // Only while connections exist: an idle program with open pages wakes
    // once a second at most.
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, &WebServer::tick);
}

WebServer::~WebServer()
{
    close();
}

bool WebServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void WebServer::close()
{
    m_server->close();
    for (auto &connection : m_connections) {
        connection->socket->disconnect(this);
        connection->socket->abort();
        connection->socket->deleteLater();
    }
    m_connections.clear();
    m_tick.stop();
}

void WebServer::setTimeouts(int requestMs, int keepAliveIdleMs)
{
    m_requestTimeoutMs = requestMs;
    m_keepAliveIdleMs = keepAliveIdleMs;
    m_tick.setInterval(qMax(10, qMin(1000, qMin(requestMs, keepAliveIdleMs) / 4)));
}

bool WebServer::isListening() const
{
    return m_server->isListening();
}

quint16 WebServer::port() const
{
    return m_server->serverPort();
}

QHostAddress WebServer::address() const
{
    return m_server->serverAddress();
}

QString WebServer::errorString() const
{
    return m_server->errorString();
}

int WebServer::connectionCount() const
{
    return int(std::count_if(m_connections.begin(), m_connections.end(), [](const auto &c) { return !c->stream; }));
}

int WebServer::streamCount() const
{
    return int(m_connections.size()) - connectionCount();
}

WebServer::Connection *WebServer::find(QTcpSocket *socket)
{
    const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                 [socket](const auto &c) { return c->socket == socket; });
    return it == m_connections.end() ? nullptr : it->get();
}

void WebServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        connection->since.start();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (Connection *c = find(socket))
                readFrom(*c);
        });
        // Queued: a socket may close while its request is still being answered.
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); }, Qt::QueuedConnection);
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { drop(socket); }, Qt::QueuedConnection);
        Connection &added = *connection;
        m_connections.push_back(std::move(connection));
        if (connectionCount() > MaxConnections) {
            // A kept-alive connection waiting for its next request gives way
            // to a new client; only when every one is busy is the new one told so.
            Connection *idle = nullptr;
            for (const auto &c : m_connections) {
                if (!c->stream && !c->started && !c->closing && c.get() != &added
                    && (!idle || c->since.elapsed() > idle->since.elapsed()))
                    idle = c.get();
            }
            if (idle) {
                idle->closing = true;
                idle->socket->abort();
            } else {
                refuse(added, 503);
                continue;
            }
        }
        if (!m_tick.isActive()) {
            m_tick.start();
            m_sincePing.start();
        }
        if (socket->bytesAvailable() > 0)
            readFrom(added);
    }
}

void WebServer::drop(QTcpSocket *socket)
{
    const auto it = std::find_if(m_connections.begin(), m_connections.end(),
                                 [socket](const auto &c) { return c->socket == socket; });
    if (it == m_connections.end())
        return;
    socket->disconnect(this);
    socket->deleteLater();
    m_connections.erase(it);
    if (m_connections.empty())
        m_tick.stop();
}

void WebServer::refuse(Connection &connection, int status)
{
    HttpResponse response = HttpResponse::text(status, httpReason(status) + '\n');
    connection.closing = true;
    connection.socket->write(response.serialize(false));
    // Its answer goes out first; whatever else it sends is not read.
    connection.socket->disconnectFromHost();
}

void WebServer::readFrom(Connection &connection)
{
    if (connection.closing)
        return;
    QTcpSocket *socket = connection.socket;
    if (connection.stream) {
        // A page's stream sends nothing more; whatever comes is dropped.
        socket->readAll();
        return;
    }
    // Bounded per turn: what the parser holds is limited, so is a read.
    HttpRequestParser::State state = connection.parser.feed(socket->read(64 * 1024));
    if (!connection.started) {
        connection.started = true;
        connection.since.start();
    }
    while (state == HttpRequestParser::State::Complete) {
        const HttpRequest request = connection.parser.takeRequest();
        const WebPeer peer{socket->localAddress(), socket->localPort(), socket->peerAddress()};
        const HttpResponse response = m_handler(request, peer);
        const bool keepAlive = request.keepAlive() && !response.eventStream;
        answer(connection, response, keepAlive, request.method == "HEAD");
        if (connection.closing || connection.stream)
            return;
        connection.started = connection.parser.bufferedBytes() > 0;
        connection.since.start();
        state = connection.parser.feed({});
    }
    if (state == HttpRequestParser::State::Failed) {
        refuse(connection, connection.parser.errorStatus());
        return;
    }
    // More bytes than one read took: come back in the next turn, so other
    // connections get theirs first.
    if (socket->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(this, [this, socket] {
            if (Connection *c = find(socket))
                readFrom(*c);
        }, Qt::QueuedConnection);
    }
}

void WebServer::answer(Connection &connection, const HttpResponse &response, bool keepAlive, bool headOnly)
{
    if (response.eventStream && streamCount() >= MaxStreams) {
        refuse(connection, 503);
        return;
    }
    connection.socket->write(response.serialize(keepAlive, headOnly));
    if (response.eventStream) {
        connection.stream = true;
        return;
    }
    if (!keepAlive) {
        connection.closing = true;
        connection.socket->disconnectFromHost();
    }
}

QByteArray WebServer::eventBytes(const QByteArray &event, const QByteArray &data)
{
    QByteArray out = "event: " + event + '\n';
    for (const QByteArray &line : data.split('\n'))
        out += "data: " + line + '\n';
    out += '\n';
    return out;
}

void WebServer::broadcast(const QByteArray &event, const QByteArray &data)
{
    const QByteArray bytes = eventBytes(event, data);
    std::vector<QTcpSocket *> behind;
    for (const auto &connection : m_connections) {
        if (!connection->stream || connection->closing)
            continue;
        if (connection->socket->bytesToWrite() > MaxStreamBacklog)
            behind.push_back(connection->socket);
        else
            connection->socket->write(bytes);
    }
    for (QTcpSocket *socket : behind)
        socket->abort();
}

void WebServer::tick()
{
    std::vector<QTcpSocket *> late;
    const bool ping = m_sincePing.hasExpired(StreamPingMs);
    if (ping)
        m_sincePing.start();
    for (const auto &connection : m_connections) {
        if (connection->stream) {
            // A comment line keeps proxies from closing the stream and finds
            // readers that are gone.
            if (ping && !connection->closing)
                connection->socket->write(": ping\n\n");
            continue;
        }
        const int limit = connection->started || connection->closing ? m_requestTimeoutMs : m_keepAliveIdleMs;
        if (connection->since.hasExpired(limit))
            late.push_back(connection->socket);
    }
    for (QTcpSocket *socket : late)
        socket->abort();
}
