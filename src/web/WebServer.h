#pragma once

#include "web/HttpRequestParser.h"
#include "web/HttpResponse.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

// Where a request came from and on which address it reached the server.
struct WebPeer
{
    QHostAddress localAddress;
    quint16 localPort = 0;
    QHostAddress peerAddress;
};

// A small HTTP/1.1 server in the program's event loop: keep-alive and
// pipelined requests, Server-Sent Events streams, and the limits that keep
// one hostile client from starving the others (bounded connections,
// streams and buffers; a request that does not arrive in time is dropped).
class WebServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxConnections = 32; // connections that send requests
    static constexpr int MaxStreams = 64;     // open event streams (open pages)
    static constexpr int RequestTimeoutMs = 10000;
    static constexpr int KeepAliveIdleMs = 30000;
    // An event stream whose reader falls this far behind is closed.
    static constexpr qint64 MaxStreamBacklog = 256 * 1024;
    static constexpr int StreamPingMs = 20000;

    using Handler = std::function<HttpResponse(const HttpRequest &request, const WebPeer &peer)>;

    explicit WebServer(Handler handler, QObject *parent = nullptr);
    ~WebServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    void close();
    bool isListening() const;
    quint16 port() const;
    QHostAddress address() const;
    QString errorString() const;

    // Writes an event ("event: name", one "data:" line per line of data) to
    // every open stream.
    void broadcast(const QByteArray &event, const QByteArray &data);
    static QByteArray eventBytes(const QByteArray &event, const QByteArray &data);

    // Shorter limits for tests; the checks run a few times per limit.
    void setTimeouts(int requestMs, int keepAliveIdleMs);

    int connectionCount() const;
    int streamCount() const;

private:
    struct Connection
    {
        QTcpSocket *socket = nullptr;
        HttpRequestParser parser;
        QElapsedTimer since; // the request's first byte, or the last answer
        bool started = false; // a request's bytes have arrived
        bool stream = false;
        bool closing = false;
    };

    void accept();
    void readFrom(Connection &connection);
    void answer(Connection &connection, const HttpResponse &response, bool keepAlive, bool headOnly);
    void refuse(Connection &connection, int status);
    void drop(QTcpSocket *socket);
    void tick();
    Connection *find(QTcpSocket *socket);

    Handler m_handler;
    std::unique_ptr<QTcpServer> m_server;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QTimer m_tick;
    int m_requestTimeoutMs = RequestTimeoutMs;
    int m_keepAliveIdleMs = KeepAliveIdleMs;
    QElapsedTimer m_sincePing;
};
