#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <optional>

// XDR (RFC 4506) as ONC RPC uses it: big-endian 32-bit words, opaque data
// and strings as a length, the bytes and zero padding to a multiple of four.
// The reader never reads past its input; once anything is missing or
// longer than allowed it stays failed and every further read gives nothing.
class XdrReader
{
public:
    explicit XdrReader(QByteArrayView data) : m_data(data) {}

    std::optional<std::uint32_t> uint32();
    std::optional<std::int32_t> int32();
    std::optional<bool> boolean();
    // Variable-length opaque data or a string of at most maxSize bytes.
    std::optional<QByteArrayView> opaque(std::uint32_t maxSize);

    bool failed() const { return m_failed; }
    qsizetype remaining() const { return m_data.size() - m_position; }
    // What follows the part read so far.
    QByteArrayView rest() const { return m_data.sliced(m_position); }

private:
    QByteArrayView m_data;
    qsizetype m_position = 0;
    bool m_failed = false;
};

class XdrWriter
{
public:
    XdrWriter &uint32(std::uint32_t value);
    XdrWriter &int32(std::int32_t value) { return uint32(std::uint32_t(value)); }
    XdrWriter &opaque(QByteArrayView data);

    const QByteArray &data() const { return m_data; }

private:
    QByteArray m_data;
};

// Record marking (RFC 5531, section 11): a record travels over TCP as
// fragments, each after a 4-byte header whose top bit marks the last one and
// whose other 31 bits give its length. Collects whole records from any
// chunks of a stream, and refuses one that would grow beyond maxRecordSize,
// whatever its headers claim.
class RecordAssembler
{
public:
    explicit RecordAssembler(qsizetype maxRecordSize) : m_maxRecordSize(maxRecordSize) {}

    // Takes what the stream brought; false once the stream broke the limit.
    bool feed(QByteArrayView bytes);
    // The oldest whole record, if one is complete.
    std::optional<QByteArray> takeRecord();
    bool failed() const { return m_failed; }
    // Bytes held: whole records not yet taken and the one being collected.
    qsizetype buffered() const;

    // One record as a single last fragment.
    static QByteArray frame(QByteArrayView record);

private:
    bool consume();

    qsizetype m_maxRecordSize;
    QByteArray m_input;        // bytes not yet split into fragments
    QByteArray m_record;       // the record being collected
    QList<QByteArray> m_ready; // whole records
    bool m_failed = false;
};
