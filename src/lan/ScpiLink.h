#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <memory>
#include <optional>

class ScpiCommandTree;
class ScpiSession;

// One VXI-11 link's SCPI side: its own session (error queue, status
// registers), the message being written and the response not yet read.
// The only place the LAN code runs SCPI, so the way messages are run can
// change here alone.
class ScpiLink
{
public:
    // A message longer than this is dropped whole with -223 (the socket's
    // line limit).
    static constexpr qsizetype MaxMessage = 64 * 1024;

    explicit ScpiLink(const ScpiCommandTree &tree);
    ~ScpiLink();

    // Takes part of a message; it is run when end is set or the data ends
    // in LF. A response still unread when another message runs is lost
    // with -410, as IEEE 488.2 has it.
    void write(QByteArrayView data, bool end);
    bool hasOutput() const { return m_output.size() > m_outputRead; }
    // Up to maxSize bytes of the response, and no further than the first
    // stop character; complete: nothing of it is left.
    QByteArray read(qsizetype maxSize, std::optional<char> stop, bool &complete);
    std::uint8_t statusByte() const;
    // Device clear: the message being written and the unread response go.
    void clear();

private:
    void run();

    std::unique_ptr<ScpiSession> m_session;
    QByteArray m_input;
    QByteArray m_output;
    qsizetype m_outputRead = 0;
    bool m_discarding = false; // the rest of an overlong message
};
