#include "remote/ScpiScheduler.h"

#include "remote/ScpiClient.h"
#include "remote/ScpiError.h"
#include "remote/ScpiSession.h"

#include <QElapsedTimer>
#include <QTimer>

ScpiScheduler::ScpiScheduler(QObject *parent) : QObject(parent) {}

ScpiScheduler::~ScpiScheduler()
{
    for (ScpiClient *client : std::as_const(m_clients))
        client->m_scheduler = nullptr;
}

void ScpiScheduler::add(ScpiClient *client)
{
    m_clients.append(client);
}

void ScpiScheduler::remove(ScpiClient *client)
{
    const qsizetype index = m_clients.indexOf(client);
    if (index < 0)
        return;
    m_clients.removeAt(index);
    if (index < m_first)
        --m_first;
}

int ScpiScheduler::detachedCount() const
{
    int count = 0;
    for (const ScpiClient *client : m_clients)
        count += client->isDetached() && !client->isIdle() ? 1 : 0;
    return count;
}

void ScpiScheduler::wake()
{
    if (m_turnPosted || m_inTurn)
        return;
    m_turnPosted = true;
    // Posted, not run here: the event loop gets its turn first.
    QTimer::singleShot(0, this, [this] {
        m_turnPosted = false;
        turn();
    });
}

void ScpiScheduler::turn()
{
    if (m_clients.isEmpty())
        return;
    m_inTurn = true;
    ++m_turns;
    // Clients may come and go while others are served.
    QList<QPointer<ScpiClient>> order;
    const qsizetype count = m_clients.size();
    m_first %= count;
    for (qsizetype i = 0; i < count; ++i)
        order.append(m_clients[(m_first + i) % count]);
    ++m_first;
    QList<QPointer<ScpiClient>> detached;
    for (const QPointer<ScpiClient> &client : std::as_const(order)) {
        if (client && client->hasWork() && !client->isDetached())
            emit client->sliceStarting();
        if (client && client->hasWork() && client->isDetached())
            detached.append(client);
        else if (client && client->hasWork())
            serve(client);
    }
    // One slice for all clients whose transport is gone.
    if (!detached.isEmpty()) {
        const QPointer<ScpiClient> &client = detached[m_nextDetached++ % detached.size()];
        if (client && client->hasWork())
            serve(client);
    }
    m_inTurn = false;
    for (ScpiClient *client : std::as_const(m_clients)) {
        if (client->hasWork()) {
            wake();
            break;
        }
    }
}

void ScpiScheduler::serve(ScpiClient *client)
{
    const QPointer<ScpiClient> guard(client);
    openWrites();
    QElapsedTimer timer;
    timer.start();
    // At least one unit, so that every client moves on in every turn; a
    // short message begun is ended.
    const auto goesOn = [&] {
        if (!guard || !client->hasWork())
            return false;
        if (std::chrono::nanoseconds(timer.nsecsElapsed()) < m_slice)
            return true;
        const ScpiSession &session = client->session();
        return session.inMessage() && session.unitsInMessage() <= AtomicUnits;
    };
    do {
        client->runUnit();
    } while (goesOn());
    // Nobody may be left to be told of a failure.
    closeWrites(guard ? &client->session() : nullptr);
}

void ScpiScheduler::openWrites()
{
    if (m_writes.open)
        m_writes.open();
    m_writesOpen = true;
}

void ScpiScheduler::closeWrites(ScpiSession *session)
{
    m_writesOpen = false;
    if (!m_writes.commit)
        return;
    const QStringList failures = m_writes.commit();
    if (!session)
        return;
    for (const QString &failure : failures)
        session->pushError({ScpiErrorCode::ExecutionError, failure});
}

void ScpiScheduler::commitWrites(ScpiSession &session)
{
    if (!m_writesOpen)
        return;
    closeWrites(&session);
    openWrites();
}
