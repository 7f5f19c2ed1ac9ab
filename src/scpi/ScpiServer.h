#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;
class ScpiClient;
class ScpiCommandTree;
class ScpiScheduler;

// One client on a socket: its lines go to its ScpiClient, its answers back.
// Reading stops while many of its lines wait or while it does not take its
// answers, so a client can never make the program hold more than a bounded
// amount for it.
class ScpiConnection : public QObject
{
    Q_OBJECT

public:
    // Longer lines are discarded with -223; the connection stays.
    static constexpr qsizetype MaxLineLength = 64 * 1024;
    // Lines handed on and not yet run beyond which no more are read.
    static constexpr qsizetype MaxWaitingLines = 64;
    // Unsent answers beyond which no more lines are run.
    static constexpr qint64 MaxPendingOutput = 1024 * 1024;

    ScpiConnection(QTcpSocket *socket, const ScpiCommandTree &tree, ScpiScheduler &scheduler,
                   QObject *parent = nullptr);
    ~ScpiConnection() override;

    // Whether the client has closed its side, even where the socket has not
    // told so yet.
    bool peerHasClosed() const;
    // Treats a connection reset by the client as gone, even where the socket
    // has not told so yet.
    void dropIfReset();
    // Counts the connection out of the server's clients (once); what the
    // client sent whole still runs, and the object goes when it has.
    void leave();

signals:
    void closed();

private:
    short peerState() const; // poll() events of the socket
    void readLines();
    void answer(const QByteArray &response);
    void updateHold();
    void socketGone();
    void deleteWhenDone();

    QTcpSocket *m_socket;
    ScpiClient *m_client;
    QByteArray m_buffer;
    qsizetype m_start = 0;     // where the next line starts in m_buffer
    qsizetype m_searched = 0;  // m_buffer holds no LF before this
    bool m_discarding = false; // inside a line that is too long
    bool m_counted = true;     // among the server's clients
    bool m_gone = false;       // the socket is closed
};

// The SCPI socket server: loopback only unless another address is given, at
// most MaxClients at once (one more is told so in one line and closed). All
// on the event loop; no threads. Lines run in the scheduler's fair turns,
// shared with the program's other transports.
class ScpiServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxClients = 8;

    // A scheduler of its own.
    explicit ScpiServer(const ScpiCommandTree &tree, QObject *parent = nullptr);
    // The scheduler given, which must outlive the server.
    ScpiServer(const ScpiCommandTree &tree, ScpiScheduler &scheduler, QObject *parent = nullptr);
    ~ScpiServer() override;

    bool listen(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);
    void close();
    bool isListening() const;
    quint16 serverPort() const;
    QHostAddress serverAddress() const;
    QString errorString() const;
    int clientCount() const { return m_clients; }
    ScpiScheduler &scheduler() { return *m_scheduler; }

signals:
    void clientCountChanged(int count);
    // A client served (not one refused as one too many) came or went.
    void clientConnected(const QHostAddress &address, quint16 port);
    void clientLeft(const QHostAddress &address, quint16 port);

private:
    void acceptConnections();
    void countOutClosed();
    void refuse(QTcpSocket *socket);

    const ScpiCommandTree &m_tree;
    ScpiScheduler *m_scheduler;
    QTcpServer *m_server;
    int m_clients = 0;
};
