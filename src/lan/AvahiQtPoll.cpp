#include "lan/AvahiQtPoll.h"

#include <avahi-common/timeval.h>

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <climits>

// Avahi names these types; their insides are ours.
struct AvahiWatch
{
    AvahiWatchCallback callback;
    void *userdata;
    int fd;
    AvahiWatchEvent happened = AvahiWatchEvent(0);
    QSocketNotifier *read = nullptr;
    QSocketNotifier *write = nullptr;
};

struct AvahiTimeout
{
    AvahiTimeoutCallback callback;
    void *userdata;
    QTimer *timer = nullptr;
};

namespace {

void fire(AvahiWatch *watch, AvahiWatchEvent event)
{
    watch->happened = event;
    watch->callback(watch, watch->fd, event, watch->userdata);
}

void updateWatch(AvahiWatch *watch, AvahiWatchEvent events)
{
    watch->read->setEnabled(events & (AVAHI_WATCH_IN | AVAHI_WATCH_ERR | AVAHI_WATCH_HUP));
    watch->write->setEnabled(events & AVAHI_WATCH_OUT);
}

AvahiWatch *newWatch(const AvahiPoll *, int fd, AvahiWatchEvent events, AvahiWatchCallback callback, void *userdata)
{
    auto *watch = new AvahiWatch{callback, userdata, fd};
    watch->read = new QSocketNotifier(fd, QSocketNotifier::Read);
    watch->write = new QSocketNotifier(fd, QSocketNotifier::Write);
    QObject::connect(watch->read, &QSocketNotifier::activated, watch->read, [watch] { fire(watch, AVAHI_WATCH_IN); });
    QObject::connect(watch->write, &QSocketNotifier::activated, watch->write, [watch] { fire(watch, AVAHI_WATCH_OUT); });
    updateWatch(watch, events);
    return watch;
}

AvahiWatchEvent watchEvents(AvahiWatch *watch)
{
    return watch->happened;
}

void freeWatch(AvahiWatch *watch)
{
    // May come from inside the watch's own callback: the notifiers go once
    // the event loop has left them.
    watch->read->setEnabled(false);
    watch->write->setEnabled(false);
    watch->read->deleteLater();
    watch->write->deleteLater();
    QObject::disconnect(watch->read, nullptr, nullptr, nullptr);
    QObject::disconnect(watch->write, nullptr, nullptr, nullptr);
    delete watch;
}

void updateTimeout(AvahiTimeout *timeout, const struct timeval *when)
{
    if (!when) {
        timeout->timer->stop();
        return;
    }
    // avahi_age: how long ago the moment was; negative while it lies ahead.
    const AvahiUsec ahead = -avahi_age(when);
    const long long ms = std::clamp<long long>((ahead + 999) / 1000, 0, INT_MAX);
    timeout->timer->start(int(ms));
}

AvahiTimeout *newTimeout(const AvahiPoll *, const struct timeval *when, AvahiTimeoutCallback callback, void *userdata)
{
    auto *timeout = new AvahiTimeout{callback, userdata};
    timeout->timer = new QTimer;
    timeout->timer->setSingleShot(true);
    QObject::connect(timeout->timer, &QTimer::timeout, timeout->timer,
                     [timeout] { timeout->callback(timeout, timeout->userdata); });
    updateTimeout(timeout, when);
    return timeout;
}

void freeTimeout(AvahiTimeout *timeout)
{
    timeout->timer->stop();
    QObject::disconnect(timeout->timer, nullptr, nullptr, nullptr);
    timeout->timer->deleteLater();
    delete timeout;
}

} // namespace

AvahiQtPoll::AvahiQtPoll()
{
    m_api.userdata = this;
    m_api.watch_new = newWatch;
    m_api.watch_update = updateWatch;
    m_api.watch_get_events = watchEvents;
    m_api.watch_free = freeWatch;
    m_api.timeout_new = newTimeout;
    m_api.timeout_update = updateTimeout;
    m_api.timeout_free = freeTimeout;
}
