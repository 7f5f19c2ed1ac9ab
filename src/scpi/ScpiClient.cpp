#include "scpi/ScpiClient.h"

#include "scpi/ScpiScheduler.h"

ScpiClient::ScpiClient(ScpiScheduler &scheduler, const ScpiCommandTree &tree, QObject *parent)
    : QObject(parent), m_scheduler(&scheduler), m_session(tree)
{
    m_scheduler->add(this);
    m_session.setBeforeQuery([this] {
        if (m_scheduler)
            m_scheduler->commitWrites(m_session);
    });
}

ScpiClient::~ScpiClient()
{
    if (m_scheduler)
        m_scheduler->remove(this);
}

void ScpiClient::workArrived(bool hadWork)
{
    if (!m_scheduler || !hasWork())
        return;
    if (!hadWork)
        m_scheduler->catchUp(this);
    m_scheduler->wake();
}

void ScpiClient::submit(QByteArray message)
{
    const bool hadWork = hasWork();
    m_queue.enqueue({std::move(message), std::nullopt});
    workArrived(hadWork);
}

void ScpiClient::submitError(const ScpiError &error)
{
    const bool hadWork = hasWork();
    m_queue.enqueue({{}, error});
    workArrived(hadWork);
}

void ScpiClient::setHeld(bool held)
{
    const bool hadWork = hasWork();
    m_held = held;
    workArrived(hadWork);
}

void ScpiClient::clear()
{
    const bool hadWork = !isIdle();
    m_queue.clear();
    m_session.abandon();
    if (hadWork)
        emit idle();
}

bool ScpiClient::detach()
{
    if (m_detached)
        return true;
    m_held = false;
    if (!m_scheduler || m_scheduler->detachedCount() >= ScpiScheduler::MaxDetached) {
        m_queue.clear();
        m_session.abandon();
        emit idle();
        return false;
    }
    m_detached = true;
    workArrived(false);
    return true;
}

void ScpiClient::runUnit()
{
    if (!m_session.inMessage()) {
        if (m_queue.isEmpty())
            return;
        Item item = m_queue.dequeue();
        if (item.error) {
            m_session.pushError(*item.error);
            if (isIdle())
                emit idle();
            return;
        }
        m_session.begin(std::move(item.message));
    }
    if (!m_session.step())
        return;
    emit finished(m_session.takeResponse());
    // finished() may have given more work, or deleted this client's owner.
    if (isIdle())
        emit idle();
}
