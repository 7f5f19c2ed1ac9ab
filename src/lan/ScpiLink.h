#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

class ScpiClient;
class ScpiCommandTree;
class ScpiScheduler;

// One VXI-11 link's SCPI side: a client of the scheduler's fair turns, with
// its own session (error queue, status registers), the message being
// written and the response not yet read. The only place the LAN code runs
// SCPI.
class ScpiLink
{
public:
    // A message longer than this is dropped whole with -223 (the socket's
    // line limit).
    static constexpr qsizetype MaxMessage = 64 * 1024;

    // outputArrived: a response came, so a read waiting for one may go on.
    ScpiLink(const ScpiCommandTree &tree, ScpiScheduler &scheduler, std::function<void()> outputArrived);
    ~ScpiLink();
    ScpiLink(const ScpiLink &) = delete;
    ScpiLink &operator=(const ScpiLink &) = delete;

    // Takes part of a message; it is run, on a later turn, when end is set
    // or the data ends in LF. A response still unread when another message
    // comes is lost with -410, as IEEE 488.2 has it.
    void write(QByteArrayView data, bool end);
    bool hasOutput() const { return m_output.size() > m_outputRead; }
    // Up to maxSize bytes of the response, and no further than the first
    // stop character; complete: nothing of it is left.
    QByteArray read(qsizetype maxSize, std::optional<char> stop, bool &complete);
    std::uint8_t statusByte() const;
    // Device clear: the message being written, those not yet run and the
    // unread response go.
    void clear();

private:
    void submit();

    // A child of the scheduler, so that it goes with it at the latest;
    // deleted once it has run what it was given.
    QPointer<ScpiClient> m_client;
    std::function<void()> m_outputArrived;
    QByteArray m_input;
    QByteArray m_output;
    qsizetype m_outputRead = 0;
    bool m_discarding = false; // the rest of an overlong message
};
