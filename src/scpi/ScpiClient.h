#pragma once

#include "scpi/ScpiError.h"
#include "scpi/ScpiSession.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QQueue>

#include <optional>

class ScpiCommandTree;
class ScpiScheduler;

// One client of the SCPI interface as a transport sees it: program messages
// go in with submit(), and for each one finished() comes out with its
// response message, in order, on a later turn of the scheduler. The
// transport knows nothing of turns: it feeds messages, holds the client
// while its output cannot take more, and sends what finished() gives.
class ScpiClient : public QObject
{
    Q_OBJECT

public:
    ScpiClient(ScpiScheduler &scheduler, const ScpiCommandTree &tree, QObject *parent = nullptr);
    ~ScpiClient() override;

    ScpiSession &session() { return m_session; }

    // A program message without its terminator.
    void submit(QByteArray message);
    // An error the transport found (a line too long), queued in its place
    // among the messages; no finished() for it.
    void submitError(const ScpiError &error);

    // Messages submitted and not yet finished, the one running included.
    qsizetype waiting() const { return m_queue.size() + (m_session.inMessage() ? 1 : 0); }
    bool isIdle() const { return waiting() == 0; }

    // Device clear: the messages waiting, and the rest of one begun, are
    // dropped unrun.
    void clear();

    // While held nothing of this client runs (its answers are not taken).
    void setHeld(bool held);
    bool isHeld() const { return m_held; }

    // The transport is gone: what waits still runs, but all detached clients
    // together count as one client of the scheduler, so that a client
    // leaving and coming back again and again gains nothing. Returns false,
    // dropping what waits (the rest of a message begun too), when
    // ScpiScheduler::MaxDetached clients are finishing that way already.
    bool detach();
    bool isDetached() const { return m_detached; }

signals:
    // response: every answer of the message with its LF, or empty. A
    // receiver may delete the client only later (deleteLater).
    void finished(const QByteArray &response);
    // The last waiting message finished.
    void idle();
    // A slice of this client begins: the transport may find its peer gone
    // (and detach) before anything runs.
    void sliceStarting();

private:
    friend class ScpiScheduler;
    struct Item
    {
        QByteArray message;
        std::optional<ScpiError> error;
    };

    bool hasWork() const { return !m_held && !isIdle(); }
    // Runs one unit (or queued error) for the scheduler.
    void runUnit();
    // Tells the scheduler of work after none.
    void workArrived(bool hadWork);

    QPointer<ScpiScheduler> m_scheduler;
    ScpiSession m_session;
    QQueue<Item> m_queue;
    bool m_held = false;
    bool m_detached = false;
    qint64 m_used = 0; // ns of slices this client had
};
