#include "front/HeadlessLog.h"

#include <QCoreApplication>

namespace HeadlessLog {

namespace {

QString byRemote(const QString &line, By by)
{
    return by == By::Remote ? line + QCoreApplication::translate("HeadlessLog", " (удалённое управление)") : line;
}

} // namespace

QString generatorStarted(By by)
{
    return byRemote(QCoreApplication::translate("HeadlessRun", "Генератор запущен"), by);
}

QString generatorStopped(By by)
{
    return byRemote(QCoreApplication::translate("HeadlessRun", "Генератор остановлен"), by);
}

QString setLoaded(const QString &name, By by)
{
    return byRemote(QCoreApplication::translate("HeadlessRun", "Загружен набор параметров \"%1\"").arg(name), by);
}

QString clientConnected(const QHostAddress &address, quint16 port)
{
    return QCoreApplication::translate("HeadlessLog", "Подключился клиент удалённого управления %1")
        .arg(peerText(address, port));
}

QString clientLeft(const QHostAddress &address, quint16 port)
{
    return QCoreApplication::translate("HeadlessLog", "Отключился клиент удалённого управления %1")
        .arg(peerText(address, port));
}

QString peerText(const QHostAddress &address, quint16 port)
{
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    if (mapped)
        return QHostAddress(ipv4).toString() + QLatin1Char(':') + QString::number(port);
    return QLatin1Char('[') + address.toString() + QStringLiteral("]:") + QString::number(port);
}

} // namespace HeadlessLog
