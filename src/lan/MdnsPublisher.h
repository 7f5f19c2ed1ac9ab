#pragma once

#include "lan/AvahiQtPoll.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct AvahiClient;
struct AvahiEntryGroup;

// Announces services under one instance name through the Avahi daemon
// (mDNS/DNS-SD) and withdraws them when destroyed. A name taken by another
// host gets Avahi's alternative ("… #2").
class MdnsPublisher
{
public:
    struct Service
    {
        QString type; // "_scpi-raw._tcp"
        quint16 port;
    };

    // txt: "key=value" items, the same for every service.
    MdnsPublisher(const QString &name, const QList<Service> &services, const QStringList &txt);
    ~MdnsPublisher();
    MdnsPublisher(const MdnsPublisher &) = delete;
    MdnsPublisher &operator=(const MdnsPublisher &) = delete;

    // False when no Avahi daemon could be reached.
    bool isAvailable() const { return m_client != nullptr; }
    // Why not, in the program's language.
    static QString unavailableText();
    // Whether every service is announced (the daemon confirmed the name).
    bool isEstablished() const { return m_established; }
    QString name() const { return m_name; }

private:
    static void clientChanged(AvahiClient *client, int state, void *self);
    static void groupChanged(AvahiEntryGroup *group, int state, void *self);
    void publish(AvahiClient *client);
    void rename();

    AvahiQtPoll m_poll;
    QString m_name;
    QList<Service> m_services;
    QStringList m_txt;
    AvahiClient *m_client = nullptr;
    AvahiEntryGroup *m_group = nullptr;
    bool m_established = false;
    int m_renames = 0;
    static constexpr int MaxRenames = 16;
};
