#include "lan/MdnsPublisher.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include <QCoreApplication>

MdnsPublisher::MdnsPublisher(const QString &name, const QList<Service> &services, const QStringList &txt)
    : m_name(name), m_services(services), m_txt(txt)
{
    int error = 0;
    // The callback may already run inside avahi_client_new.
    AvahiClient *client = avahi_client_new(m_poll.api(), AvahiClientFlags(0),
                                           [](AvahiClient *c, AvahiClientState state, void *self) {
                                               clientChanged(c, state, self);
                                           },
                                           this, &error);
    if (client && !m_client)
        m_client = client;
}

MdnsPublisher::~MdnsPublisher()
{
    // Freeing the client withdraws its entry groups.
    if (m_client)
        avahi_client_free(m_client);
}

QString MdnsPublisher::unavailableText()
{
    return QCoreApplication::translate("MdnsPublisher", "mDNS: служба Avahi недоступна, генератор не объявлен в сети");
}

void MdnsPublisher::clientChanged(AvahiClient *client, int state, void *self)
{
    auto *publisher = static_cast<MdnsPublisher *>(self);
    publisher->m_client = client;
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        publisher->publish(client);
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        // The host name changes: announce again once it is settled.
        publisher->m_established = false;
        if (publisher->m_group)
            avahi_entry_group_reset(publisher->m_group);
        break;
    default:
        break;
    }
}

void MdnsPublisher::groupChanged(AvahiEntryGroup *, int state, void *self)
{
    auto *publisher = static_cast<MdnsPublisher *>(self);
    if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) {
        publisher->m_established = true;
    } else if (state == AVAHI_ENTRY_GROUP_COLLISION) {
        publisher->rename();
    }
}

void MdnsPublisher::rename()
{
    // Other hosts could hold every alternative; give up after a few.
    if (++m_renames > MaxRenames)
        return;
    char *alternative = avahi_alternative_service_name(m_name.toUtf8().constData());
    m_name = QString::fromUtf8(alternative);
    avahi_free(alternative);
    avahi_entry_group_reset(m_group);
    publish(m_client);
}

void MdnsPublisher::publish(AvahiClient *client)
{
    if (!m_group) {
        m_group = avahi_entry_group_new(client,
                                        [](AvahiEntryGroup *g, AvahiEntryGroupState state, void *self) {
                                            groupChanged(g, state, self);
                                        },
                                        this);
        if (!m_group)
            return;
    }
    if (!avahi_entry_group_is_empty(m_group))
        return;
    AvahiStringList *txt = nullptr;
    // Avahi's list grows at its front.
    for (auto item = m_txt.crbegin(); item != m_txt.crend(); ++item)
        txt = avahi_string_list_add(txt, item->toUtf8().constData());
    const QByteArray name = m_name.toUtf8();
    for (const Service &service : std::as_const(m_services)) {
        const int result = avahi_entry_group_add_service_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                                name.constData(), service.type.toUtf8().constData(), nullptr,
                                                                nullptr, service.port, txt);
        if (result == AVAHI_ERR_COLLISION) {
            avahi_string_list_free(txt);
            rename();
            return;
        }
    }
    avahi_string_list_free(txt);
    avahi_entry_group_commit(m_group);
}
