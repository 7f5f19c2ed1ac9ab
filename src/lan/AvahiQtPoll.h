#pragma once

#include <avahi-common/watch.h>

// Avahi's main-loop interface on Qt's event loop: file descriptor watches on
// QSocketNotifier, timeouts on QTimer. Lets the Avahi client run without a
// thread or a loop of its own. One object serves any number of clients and
// must outlive them.
class AvahiQtPoll
{
public:
    AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll &) = delete;
    AvahiQtPoll &operator=(const AvahiQtPoll &) = delete;

    const AvahiPoll *api() const { return &m_api; }

private:
    AvahiPoll m_api{};
};
