#include "lan/ScpiLink.h"

#include "scpi/ScpiClient.h"
#include "scpi/ScpiError.h"
#include "scpi/ScpiScheduler.h"
#include "scpi/ScpiSession.h"

#include <QObject>

ScpiLink::ScpiLink(const ScpiCommandTree &tree, ScpiScheduler &scheduler, std::function<void()> outputArrived)
    : m_client(new ScpiClient(scheduler, tree, &scheduler)), m_outputArrived(std::move(outputArrived))
{
    m_client->session().setOutputPending([this] { return hasOutput(); });
    QObject::connect(m_client, &ScpiClient::finished, m_client, [this](const QByteArray &response) {
        if (response.isEmpty())
            return;
        m_output += response;
        m_outputArrived();
    });
}

ScpiLink::~ScpiLink()
{
    // What the link was given still runs, as for a socket that closed; the
    // client goes when it has (or at once, when too many are finishing).
    if (!m_client)
        return;
    m_client->disconnect();
    m_client->session().setOutputPending({});
    if (m_client->isIdle() || !m_client->detach()) {
        m_client->deleteLater();
        return;
    }
    QObject::connect(m_client, &ScpiClient::idle, m_client, &QObject::deleteLater);
}

void ScpiLink::write(QByteArrayView data, bool end)
{
    if (!m_discarding && m_input.size() + data.size() > MaxMessage) {
        m_client->submitError({ScpiErrorCode::TooMuchData, QStringLiteral("message longer than 64 KiB discarded")});
        m_input.clear();
        m_discarding = true;
    }
    if (!m_discarding)
        m_input.append(data);
    if (end || data.endsWith('\n')) {
        if (!m_discarding)
            submit();
        m_discarding = false;
        m_input.clear();
    }
}

void ScpiLink::submit()
{
    if (hasOutput())
        m_client->session().pushError({ScpiErrorCode::QueryInterrupted, {}});
    m_output.clear();
    m_outputRead = 0;
    // A message may hold several lines (the socket form's LF-separated
    // messages); each is one program message.
    QByteArrayView rest(m_input);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        m_client->submit(line.toByteArray());
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
    return m_client->session().statusByte();
}

void ScpiLink::clear()
{
    // Messages handed on but not yet run go too, so nothing answers after
    // the clear.
    if (m_client)
        m_client->clear();
    m_input.clear();
    m_output.clear();
    m_outputRead = 0;
    m_discarding = false;
}
