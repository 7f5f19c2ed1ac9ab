#include "remote/G740Remote.h"
#include "remote/RemoteEnglish.h"

#include "settings/IniFile.h"

#include <QCoreApplication>

G740Remote::G740Remote(Instrument &instrument, const G740Program &program, QObject *parent)
    : QObject(parent)
    , m_tree(g740CommandTree(instrument, program, this))
    , m_server(std::make_unique<ScpiServer>(m_tree, m_scheduler))
{
    // Saves and stored sets within one client's share of a turn become one
    // replacement of the settings file each.
    m_scheduler.setDeferredWrites({&IniWriteBack::open, &IniWriteBack::commit});
    connect(m_server.get(), &ScpiServer::clientCountChanged, this, &G740Remote::clientCountChanged);
    // Every client learns of a lost module from its error queue, whatever it
    // was doing: a generator it had started is stopped now.
    connect(&instrument, &Instrument::moduleLost, this, [this](const QString &text) {
        m_scheduler.reportToAll({ScpiErrorCode::HardwareMissing, text});
    });
    connect(m_server.get(), &ScpiServer::clientConnected, this, &G740Remote::clientConnected);
    connect(m_server.get(), &ScpiServer::clientLeft, this, &G740Remote::clientLeft);
    // The tree's commands run inside a RemoteEnglish scope: a change seen
    // there is a client's.
    connect(&instrument, &Instrument::runningChanged, this, [this](bool running) {
        if (RemoteEnglish::inCommand())
            emit runningChangedByClient(running);
    });
}

G740Remote::~G740Remote() = default;

bool G740Remote::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}

void G740Remote::close()
{
    m_server->close();
}

bool G740Remote::isListening() const
{
    return m_server->isListening();
}

quint16 G740Remote::port() const
{
    return m_server->serverPort();
}

QString G740Remote::errorString() const
{
    return m_server->errorString();
}

int G740Remote::clientCount() const
{
    return m_server->clientCount();
}

QString G740Remote::listeningText(quint16 port)
{
    return QStringLiteral("remote control on port %1").arg(port);
}

QString G740Remote::failureText(quint16 port, const QString &reason)
{
    return QCoreApplication::translate("G740Remote", "Не могу открыть порт удалённого управления %1: %2").arg(port).arg(reason);
}
