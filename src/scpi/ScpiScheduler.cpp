#include "scpi/ScpiScheduler.h"

#include "scpi/ScpiClient.h"
#include "scpi/ScpiError.h"
#include "scpi/ScpiSession.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

ScpiScheduler::ScpiScheduler(QObject *parent) : QObject(parent)
{
    // One timer for every turn: a zero timer made anew per turn costs more
    // than a short query does.
    m_turnTimer.setSingleShot(true);
    m_turnTimer.setInterval(0);
    connect(&m_turnTimer, &QTimer::timeout, this, [this] {
        m_turnPosted = false;
        turn();
    });
}

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
    m_turnTimer.start();
}

ScpiClient *ScpiScheduler::pick()
{
    ScpiClient *least = nullptr;
    QList<ScpiClient *> detached;
    for (ScpiClient *client : std::as_const(m_clients)) {
        if (!client->hasWork())
            continue;
        if (client->isDetached())
            detached.append(client);
        else if (!least || client->m_used < least->m_used)
            least = client;
    }
    // The detached clients are one client here, taking turns among them.
    if (!detached.isEmpty() && (!least || m_detachedUsed < least->m_used))
        return detached[m_nextDetached++ % detached.size()];
    return least;
}

void ScpiScheduler::catchUp(ScpiClient *client)
{
    // A client that had nothing to do (or is new) comes back one slice ahead
    // of where the least served client stood, not with all the time it
    // missed: it goes first, but cannot take the others' turns for long.
    qint64 &used = client->isDetached() ? m_detachedUsed : client->m_used;
    used = std::max(used, m_floor - qint64(std::chrono::nanoseconds(m_slice).count()));
}

void ScpiScheduler::turn()
{
    m_inTurn = true;
    ++m_turns;
    // The transport may find the chosen client gone, and drop or detach it.
    for (qsizetype tries = 0; tries <= m_clients.size(); ++tries) {
        ScpiClient *client = pick();
        if (!client)
            break;
        const QPointer<ScpiClient> guard(client);
        if (!client->isDetached()) {
            emit client->sliceStarting();
            if (!guard || !client->hasWork() || client->isDetached())
                continue;
        }
        const bool detached = client->isDetached();
        // The least time any client with work has had only grows.
        m_floor = std::max(m_floor, detached ? m_detachedUsed : client->m_used);
        const qint64 elapsed = serve(client);
        if (detached)
            m_detachedUsed += elapsed;
        else if (guard)
            client->m_used += elapsed;
        break;
    }
    m_inTurn = false;
    if (pick())
        wake();
}

qint64 ScpiScheduler::serve(ScpiClient *client)
{
    const QPointer<ScpiClient> guard(client);
    openWrites();
    QElapsedTimer timer;
    timer.start();
    // At least one unit, so that the client moves on; a short message begun
    // is ended.
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
    return timer.nsecsElapsed();
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

void ScpiScheduler::reportToAll(const ScpiError &error)
{
    for (ScpiClient *client : std::as_const(m_clients)) {
        if (!client->isDetached())
            client->session().pushError(error);
    }
}
