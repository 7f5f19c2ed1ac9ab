#include "lan/ScpiLink.h"

#include "scpi/ScpiError.h"
#include "scpi/ScpiSession.h"

ScpiLink::ScpiLink(const ScpiCommandTree &tree) : m_session(std::make_unique<ScpiSession>(tree))
{
    m_session->setOutputPending([this] { return hasOutput(); });
}

ScpiLink::~ScpiLink() = default;

void ScpiLink::write(QByteArrayView data, bool end)
{
    if (!m_discarding && m_input.size() + data.size() > MaxMessage) {
        m_session->pushError({ScpiErrorCode::TooMuchData, QStringLiteral("message longer than 64 KiB discarded")});
        m_input.clear();
        m_discarding = true;
    }
    if (!m_discarding)
        m_input.append(data);
    if (end || data.endsWith('\n')) {
        if (!m_discarding)
            run();
        m_discarding = false;
        m_input.clear();
    }
}

void ScpiLink::run()
{
    if (hasOutput())
        m_session->pushError({ScpiErrorCode::QueryInterrupted, {}});
    m_output.clear();
    m_outputRead = 0;
    // A message may hold several lines (the socket form's LF-separated
    // messages); each is one program message.
    QByteArrayView rest(m_input);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        m_output += m_session->execute(line);
    }
}

QByteArray ScpiLink::read(qsizetype maxSize, std::optional<char> stop, bool &complete)
{
    qsizetype size = std::min(maxSize, m_output.size() - m_outputRead);
    if (stop) {
        const qsizetype at = m_output.indexOf(*stop, m_outputRead);
        if (at >= 0)
            size = std::min(size, at + 1 - m_outputRead);
    }
    QByteArray part = m_output.sliced(m_outputRead, size);
    m_outputRead += size;
    complete = m_outputRead >= m_output.size();
    if (complete) {
        m_output.clear();
        m_outputRead = 0;
    }
    return part;
}

std::uint8_t ScpiLink::statusByte() const
{
    return m_session->statusByte();
}

void ScpiLink::clear()
{
    m_input.clear();
    m_output.clear();
    m_outputRead = 0;
    m_discarding = false;
}
