#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>

class ScpiClient;
class ScpiSession;
struct ScpiError;

// Writes that commands make which may be kept back and made once: opened
// before a client's slice runs, committed at its end and before any query of
// the slice is answered. commit returns why a kept-back write failed.
struct ScpiDeferredWrites
{
    std::function<void()> open;
    std::function<QStringList()> commit;
};

// Fair turns for every client of the program's SCPI interface, whatever its
// transport (raw socket, VXI-11 link, web request). Each turn of the event
// loop runs one slice: units of one client's program messages, one at a time,
// until its time is used up; the rest waits for a later turn. The client
// served is the one with work that has had the least time so far (a client
// back from idle comes in one slice ahead of the least served), so a client
// asking little is served at once and busy clients share the time evenly.
// Only a message longer than AtomicUnits is split. So one client's long
// message cannot stall the others, and the event loop (a termination signal,
// the window) is back after every slice: at most one slice and AtomicUnits
// units later.
//
// All on the thread of the scheduler's event loop. Clients register
// themselves (ScpiClient); clients left behind by a deleted scheduler run
// nothing more.
class ScpiScheduler : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::microseconds DefaultSlice{1000};
    // A message of at most this many units is never split: once begun it
    // ends in the same slice, so it sees no other client's changes. Longer
    // messages go on in the next turn when the slice is used up.
    static constexpr int AtomicUnits = 32;
    // Clients whose transport is gone that may still finish their work.
    static constexpr int MaxDetached = 8;

    explicit ScpiScheduler(QObject *parent = nullptr);
    ~ScpiScheduler() override;

    void setSlice(std::chrono::microseconds slice) { m_slice = slice; }
    std::chrono::microseconds slice() const { return m_slice; }
    void setDeferredWrites(ScpiDeferredWrites writes) { m_writes = std::move(writes); }

    // Turns run so far (test and benchmark support).
    qint64 turnCount() const { return m_turns; }
    // Detached clients with work left.
    int detachedCount() const;
    // An event that no command caused, into the error queue of every client
    // whose transport is still there.
    void reportToAll(const ScpiError &error);

private:
    friend class ScpiClient;
    void add(ScpiClient *client);
    void remove(ScpiClient *client);
    // A client has work: a turn comes.
    void wake();
    // Makes the writes kept back so far; failures go to the session's queue.
    void commitWrites(ScpiSession &session);

    void turn();
    ScpiClient *pick();
    // A client that had no work has some again.
    void catchUp(ScpiClient *client);
    // Runs the client's slice; the time it took, in ns.
    qint64 serve(ScpiClient *client);
    void openWrites();
    void closeWrites(ScpiSession *session);

    QList<ScpiClient *> m_clients; // in the order they are served
    qsizetype m_nextDetached = 0; // which detached client has the next shared slice
    qint64 m_detachedUsed = 0;    // ns the detached clients had together
    qint64 m_floor = 0;           // the time of the client served last, the least then
    std::chrono::microseconds m_slice = DefaultSlice;
    ScpiDeferredWrites m_writes;
    QTimer m_turnTimer; // the next turn, after what the event loop has waiting
    bool m_turnPosted = false;
    bool m_inTurn = false;
    bool m_writesOpen = false;
    qint64 m_turns = 0;
};
