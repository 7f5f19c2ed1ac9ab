#pragma once

#include "remote/G740Commands.h"
#include "scpi/ScpiScheduler.h"
#include "scpi/ScpiServer.h"

#include <QHostAddress>
#include <QObject>

#include <memory>

// Remote control of one instrument: the G-740 command tree and the socket
// server that answers it. Each front door (the window, the headless mode)
// makes one when remote control is asked for; the remote changes of the
// record carry this object as their origin.
class G740Remote : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 5025; // the usual SCPI socket port

    G740Remote(Instrument &instrument, const G740Program &program = {}, QObject *parent = nullptr);
    ~G740Remote() override;

    // address: the loopback address unless the lab network is meant.
    bool listen(const QHostAddress &address, quint16 port);
    void close();
    bool isListening() const;
    quint16 port() const;
    QString errorString() const;
    int clientCount() const;
    // The fair turns every transport of this instrument runs its clients in.
    ScpiScheduler &scheduler() { return m_scheduler; }

    // The line written to standard error once the server listens.
    static QString listeningText(quint16 port);
    // Why the port could not be opened.
    static QString failureText(quint16 port, const QString &reason);

signals:
    void clientCountChanged(int count);
    void clientConnected(const QHostAddress &address, quint16 port);
    void clientLeft(const QHostAddress &address, quint16 port);
    // A client's command started or stopped the generator.
    void runningChangedByClient(bool running);

private:
    ScpiCommandTree m_tree;
    ScpiScheduler m_scheduler;
    std::unique_ptr<ScpiServer> m_server;
};
