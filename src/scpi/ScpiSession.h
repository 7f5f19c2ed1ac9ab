#pragma once

#include "scpi/ScpiError.h"
#include "scpi/ScpiMessage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <functional>
#include <optional>

class ScpiCommandTree;

// One client's side of the instrument: runs its program messages against the
// command tree and keeps its IEEE 488.2 status model and SCPI error queue.
// Every operation finishes before the next message is read, so *OPC, *OPC?
// and *WAI find nothing pending.
class ScpiSession
{
public:
    // The standard event status register's bits.
    enum EventStatus : std::uint8_t
    {
        OperationComplete = 0x01,
        QueryError = 0x04,
        DeviceDependentError = 0x08,
        ExecutionErrorBit = 0x10,
        CommandErrorBit = 0x20,
        PowerOn = 0x80,
    };
    // The status byte's bits.
    enum StatusByte : std::uint8_t
    {
        ErrorQueueNotEmpty = 0x04,
        MessageAvailable = 0x10,
        EventStatusSummary = 0x20,
        MasterSummary = 0x40,
    };
    // SCPI asks for at least two entries; the last one becomes -350 when full.
    static constexpr int MaxErrors = 16;
    // A response message grows no further: a query past it is -225 and ends
    // the message, so a short line of queries cannot take all memory.
    static constexpr qsizetype MaxResponseLength = 16 * 1024 * 1024;

    explicit ScpiSession(const ScpiCommandTree &tree);

    // Runs one program message (a line without its LF) and returns the
    // response message with its LF: every answer of the line, separated by
    // ';'. Empty when nothing answered. A command error ends the message;
    // after any other error the next unit still runs.
    QByteArray execute(QByteArrayView line);

    // The same a unit at a time, so that a long message can be spread over
    // turns of the event loop: begin() takes the message, each step() runs
    // one unit and tells whether the message is over, then takeResponse()
    // gives what execute() returns. A message begun before is dropped.
    void begin(QByteArray message);
    bool inMessage() const { return m_message.has_value(); }
    // Units of the message begun that have run, and how many it has at most
    // (its separators counted).
    qsizetype unitsRun() const { return m_message ? m_message->units : 0; }
    qsizetype unitsInMessage() const { return m_message ? m_message->unitCount : 0; }
    bool step();
    QByteArray takeResponse();
    // Drops the message begun: the rest of it does not run.
    void abandon();

    // Tells whether answers already given still wait to be sent (MAV).
    void setOutputPending(std::function<bool()> pending) { m_outputPending = std::move(pending); }

    // Called before each query is answered: what the answer acknowledges
    // must be done by then (writes kept back are made).
    void setBeforeQuery(std::function<void()> hook) { m_beforeQuery = std::move(hook); }

    void pushError(const ScpiError &error);
    // The oldest entry, or 0,"No error".
    ScpiError takeError();
    int errorCount() const { return int(m_errors.size()); }

    std::uint8_t eventStatus() const { return m_eventStatus; }
    // *ESR?: the register, which the reading clears.
    std::uint8_t takeEventStatus();
    void setEventStatus(std::uint8_t bits) { m_eventStatus |= bits; }
    std::uint8_t eventStatusEnable() const { return m_eventStatusEnable; }
    void setEventStatusEnable(std::uint8_t mask) { m_eventStatusEnable = mask; }
    std::uint8_t serviceRequestEnable() const { return m_serviceRequestEnable; }
    void setServiceRequestEnable(std::uint8_t mask) { m_serviceRequestEnable = mask & ~MasterSummary; }
    std::uint8_t statusByte() const;
    // *CLS: the event register and the error queue.
    void clearStatus();

private:
    const ScpiCommandTree &m_tree;
    QList<ScpiError> m_errors;
    std::uint8_t m_eventStatus = 0;
    std::uint8_t m_eventStatusEnable = 0;
    std::uint8_t m_serviceRequestEnable = 0;
    // The message being run: its bytes, the reader over them, the header
    // path of its last unit, the answers so far.
    struct Message
    {
        QByteArray bytes;
        ScpiMessageReader reader;
        QByteArray path;
        QByteArray answers;
        bool ended = false;
        qsizetype units = 0;
        qsizetype unitCount = 0;
    };
    void runUnit(Message &message, ScpiProgramUnit &unit);

    std::optional<Message> m_message;
    QByteArray m_response; // of the message just ended
    std::function<bool()> m_outputPending;
    std::function<void()> m_beforeQuery;
};
