#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QTcpServer;
class QTcpSocket;
class ScpiCommandTree;
class ScpiSession;

// One client: its socket, its input buffer and its session (status model and
// error queue). Lines are run a few at a time on the event loop, so one busy
// client never starves the others, and reading stops while the client does
// not take its answers.
class ScpiConnection : public QObject
{
    Q_OBJECT

public:
    // Longer lines are discarded with -223; the connection stays.
    static constexpr qsizetype MaxLineLength = 64 * 1024;
    // Lines run in one turn of the event loop.
    static constexpr int LinesPerTurn = 64;
    // Unsent answers beyond which no more lines are run.
    static constexpr qint64 MaxPendingOutput = 1024 * 1024;

    ScpiConnection(QTcpSocket *socket, const ScpiCommandTree &tree, QObject *parent = nullptr);
    ~ScpiConnection() override;

signals:
    void closed();

private:
    void pump();
    void schedulePump();
    void runLine(QByteArrayView line);
    void discardOverlongLine();

    QTcpSocket *m_socket;
    std::unique_ptr<ScpiSession> m_session;
    QByteArray m_buffer;
    qsizetype m_start = 0;    // where the next line starts in m_buffer
    qsizetype m_searched = 0; // m_buffer holds no LF before this
    bool m_discarding = false; // inside a line that is too long
    bool m_pumpScheduled = false;
};

// The SCPI socket server: loopback only unless another address is given, at
// most MaxClients at once (one more is told so in one line and closed). All
// on the event loop; no threads.
class ScpiServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxClients = 8;

    explicit ScpiServer(const ScpiCommandTree &tree, QObject *parent = nullptr);
    ~ScpiServer() override;

    bool listen(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost), quint16 port = 0);
    void close();
    bool isListening() const;
    quint16 serverPort() const;
    QHostAddress serverAddress() const;
    QString errorString() const;
    int clientCount() const { return m_clients; }

signals:
    void clientCountChanged(int count);
    // A client served (not one refused as one too many) came or went.
    void clientConnected(const QHostAddress &address, quint16 port);
    void clientLeft(const QHostAddress &address, quint16 port);

private:
    void acceptConnections();
    void refuse(QTcpSocket *socket);

    const ScpiCommandTree &m_tree;
    QTcpServer *m_server;
    int m_clients = 0;
};
