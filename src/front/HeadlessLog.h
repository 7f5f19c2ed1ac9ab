#pragma once

#include <QHostAddress>
#include <QString>

// The lines a headless run writes to standard error, one per event, plain
// text: a service log then tells what happened, and its journal adds when.
namespace HeadlessLog {

// How a change came: from the run itself (its options, its closing) or
// from a remote client.
enum class By
{
    Run,
    Remote,
};

QString generatorStarted(By by);
QString generatorStopped(By by);
QString setLoaded(const QString &name, By by);
QString clientConnected(const QHostAddress &address, quint16 port);
QString clientLeft(const QHostAddress &address, quint16 port);

// A client as the log names it: 127.0.0.1:5025, [::1]:5025.
QString peerText(const QHostAddress &address, quint16 port);

} // namespace HeadlessLog
