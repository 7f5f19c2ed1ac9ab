#include "rpc/Xdr.h"

#include <QtEndian>

namespace {

constexpr std::uint32_t LastFragment = 0x80000000u;
constexpr qsizetype HeaderSize = 4;

qsizetype padded(std::uint32_t size)
{
    return qsizetype((std::uint64_t(size) + 3) & ~std::uint64_t(3));
}

} // namespace

std::optional<std::uint32_t> XdrReader::uint32()
{
    if (m_failed || remaining() < 4) {
        m_failed = true;
        return std::nullopt;
    }
    const std::uint32_t value = qFromBigEndian<std::uint32_t>(m_data.data() + m_position);
    m_position += 4;
    return value;
}

std::optional<std::int32_t> XdrReader::int32()
{
    if (const auto value = uint32())
        return std::int32_t(*value);
    return std::nullopt;
}

std::optional<bool> XdrReader::boolean()
{
    const auto value = uint32();
    if (!value || *value > 1) {
        m_failed = true;
        return std::nullopt;
    }
    return *value == 1;
}

std::optional<QByteArrayView> XdrReader::opaque(std::uint32_t maxSize)
{
    const auto size = uint32();
    if (!size || *size > maxSize || padded(*size) > remaining()) {
        m_failed = true;
        return std::nullopt;
    }
    const QByteArrayView data = m_data.sliced(m_position, qsizetype(*size));
    m_position += padded(*size);
    return data;
}

XdrWriter &XdrWriter::uint32(std::uint32_t value)
{
    char word[4];
    qToBigEndian(value, word);
    m_data.append(word, 4);
    return *this;
}

XdrWriter &XdrWriter::opaque(QByteArrayView data)
{
    uint32(std::uint32_t(data.size()));
    m_data.append(data);
    m_data.append(padded(std::uint32_t(data.size())) - data.size(), '\0');
    return *this;
}

bool RecordAssembler::feed(QByteArrayView bytes)
{
    if (m_failed)
        return false;
    m_input.append(bytes);
    return consume();
}

bool RecordAssembler::consume()
{
    qsizetype position = 0;
    while (m_input.size() - position >= HeaderSize) {
        const std::uint32_t header = qFromBigEndian<std::uint32_t>(m_input.constData() + position);
        const qsizetype length = qsizetype(header & ~LastFragment);
        // Judged by the header alone, so a claimed 2 GiB is refused before
        // any of it is held.
        if (length > m_maxRecordSize - m_record.size()) {
            m_failed = true;
            m_input.clear();
            m_record.clear();
            return false;
        }
        if (m_input.size() - position - HeaderSize < length)
            break;
        m_record.append(m_input.constData() + position + HeaderSize, length);
        position += HeaderSize + length;
        if (header & LastFragment) {
            m_ready.append(std::move(m_record));
            m_record = QByteArray();
        }
    }
    m_input.remove(0, position);
    return true;
}

std::optional<QByteArray> RecordAssembler::takeRecord()
{
    if (m_ready.isEmpty())
        return std::nullopt;
    return m_ready.takeFirst();
}

qsizetype RecordAssembler::buffered() const
{
    qsizetype total = m_input.size() + m_record.size();
    for (const QByteArray &record : m_ready)
        total += record.size();
    return total;
}

QByteArray RecordAssembler::frame(QByteArrayView record)
{
    QByteArray framed(HeaderSize, Qt::Uninitialized);
    qToBigEndian(std::uint32_t(record.size()) | LastFragment, framed.data());
    framed.append(record);
    return framed;
}
