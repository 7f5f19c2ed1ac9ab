#include "scpi/ScpiMessage.h"

#include <QStringDecoder>

#include <charconv>
#include <cmath>

namespace {

bool isAlpha(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// What the reader shows of the bytes it could not read: printable ASCII only.
QString excerpt(QByteArrayView text)
{
    QString shown;
    for (const char c : text.first(std::min<qsizetype>(text.size(), 24)))
        shown += (c >= 32 && c < 127) ? QChar::fromLatin1(c) : QChar(u'?');
    return shown;
}

// Whether a number that no double holds is too large rather than too small:
// the power of ten of its first significant digit is positive.
bool isLarge(QByteArrayView number)
{
    const qsizetype e = number.indexOf('E');
    const QByteArrayView mantissa = e < 0 ? number : number.first(e);
    long long power = 0;
    if (e >= 0) {
        const QByteArrayView exponent = number.sliced(e + 1);
        const char *first = exponent.data() + (exponent.startsWith('+') ? 1 : 0);
        if (std::from_chars(first, exponent.data() + exponent.size(), power).ec != std::errc())
            return !exponent.startsWith('-');
        // A line holds fewer digits than this, so the exponent alone decides.
        if (power > 1'000'000 || power < -1'000'000)
            return power > 0;
    }
    long long integerDigits = 0;
    long long leadingZeros = 0;
    bool significant = false;
    bool fraction = false;
    for (const char c : mantissa) {
        if (c == '.') {
            fraction = true;
        } else if (isDigit(c)) {
            if (c != '0')
                significant = true;
            if (!fraction && significant)
                ++integerDigits;
            else if (fraction && !significant)
                ++leadingZeros;
        }
    }
    return (integerDigits > 0 ? integerDigits : -leadingZeros) + power > 0;
}

} // namespace

bool ScpiMessageReader::fail(ScpiError &error, int code, const QString &detail)
{
    error = ScpiError{code, detail};
    m_ended = true;
    return false;
}

void ScpiMessageReader::skipBlanks()
{
    while (!atEnd() && Scpi::isBlank(m_line[m_pos]))
        ++m_pos;
}

QByteArray ScpiMessageReader::readMnemonic()
{
    QByteArray mnemonic;
    if (atEnd() || !isAlpha(peek()))
        return mnemonic;
    while (!atEnd() && (isAlpha(peek()) || isDigit(peek()) || peek() == '_'))
        mnemonic += upper(m_line[m_pos++]);
    return mnemonic;
}

ScpiMessageReader::Result ScpiMessageReader::next(ScpiProgramUnit &unit, ScpiError &error)
{
    unit = ScpiProgramUnit();
    for (;;) {
        if (m_ended)
            return Result::End;
        skipBlanks();
        if (atEnd()) {
            m_ended = true;
            return Result::End;
        }
        // An empty unit (";;" or a ';' before the end) is passed over.
        if (peek() == ';') {
            ++m_pos;
            continue;
        }
        break;
    }
    if (!readHeader(unit, error))
        return Result::Error;

    // A header separator, then the parameters.
    const qsizetype afterHeader = m_pos;
    skipBlanks();
    if (atEnd() || peek() == ';') {
        if (!atEnd())
            ++m_pos;
        return Result::Unit;
    }
    if (m_pos == afterHeader) {
        fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(afterHeader)));
        return Result::Error;
    }
    for (;;) {
        ScpiToken token;
        if (!readParameter(token, error))
            return Result::Error;
        unit.parameters.append(std::move(token));
        skipBlanks();
        if (atEnd())
            return Result::Unit;
        if (peek() == ';') {
            ++m_pos;
            return Result::Unit;
        }
        if (peek() != ',') {
            fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(m_pos)));
            return Result::Error;
        }
        ++m_pos;
        skipBlanks();
    }
}

bool ScpiMessageReader::readHeader(ScpiProgramUnit &unit, ScpiError &error)
{
    const qsizetype start = m_pos;
    if (peek() == '*') {
        ++m_pos;
        const QByteArray mnemonic = readMnemonic();
        if (mnemonic.isEmpty())
            return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));
        unit.header = '*' + mnemonic;
    } else {
        if (peek() == ':') {
            unit.header += ':';
            ++m_pos;
        }
        for (;;) {
            const QByteArray mnemonic = readMnemonic();
            if (mnemonic.isEmpty())
                return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));
            unit.header += mnemonic;
            if (peek() != ':')
                break;
            unit.header += ':';
            ++m_pos;
        }
    }
    if (peek() == '?') {
        unit.query = true;
        ++m_pos;
    }
    // A header ends at white space, ';' or the end of the message.
    if (!atEnd() && !Scpi::isBlank(peek()) && peek() != ';')
        return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));
    return true;
}

bool ScpiMessageReader::readParameter(ScpiToken &token, ScpiError &error)
{
    const char c = peek();
    if (c == '"' || c == '\'')
        return readString(token, error);
    if (c == '#')
        return readNonDecimal(token, error);
    if (isDigit(c) || c == '+' || c == '-' || c == '.')
        return readNumber(token, error);
    if (isAlpha(c)) {
        token.kind = ScpiToken::Kind::Character;
        token.mnemonic = readMnemonic();
        return true;
    }
    return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(m_pos)));
}

bool ScpiMessageReader::readNumber(ScpiToken &token, ScpiError &error)
{
    // <NRf>: [sign] digits [. digits] [E [sign] digits], white space allowed
    // before the exponent and its sign; then an optional suffix.
    const qsizetype start = m_pos;
    QByteArray text;
    if (peek() == '+' || peek() == '-')
        text += m_line[m_pos++];
    qsizetype digits = 0;
    while (isDigit(peek())) {
        text += m_line[m_pos++];
        ++digits;
    }
    if (peek() == '.') {
        text += m_line[m_pos++];
        while (isDigit(peek())) {
            text += m_line[m_pos++];
            ++digits;
        }
    }
    if (digits == 0)
        return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));

    // An exponent only when digits follow; otherwise the E starts a suffix.
    qsizetype look = m_pos;
    while (look < m_line.size() && Scpi::isBlank(m_line[look]))
        ++look;
    if (look < m_line.size() && upper(m_line[look]) == 'E') {
        qsizetype e = look + 1;
        while (e < m_line.size() && Scpi::isBlank(m_line[e]))
            ++e;
        QByteArray exponent = "E";
        if (e < m_line.size() && (m_line[e] == '+' || m_line[e] == '-'))
            exponent += m_line[e++];
        if (e < m_line.size() && isDigit(m_line[e])) {
            while (e < m_line.size() && isDigit(m_line[e]))
                exponent += m_line[e++];
            text += exponent;
            m_pos = e;
        }
    }

    double value = 0;
    const char *first = text.constData() + (text.startsWith('+') ? 1 : 0);
    const auto result = std::from_chars(first, text.constData() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small is 0; too large has no value.
        if (isLarge(text))
            return fail(error, ScpiErrorCode::DataOutOfRange, excerpt(m_line.sliced(start)));
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != text.constData() + text.size()) {
        return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));
    }
    token.kind = ScpiToken::Kind::Number;
    token.number = value;

    // A suffix, after optional white space: letters, with '/' for compound units.
    look = m_pos;
    while (look < m_line.size() && Scpi::isBlank(m_line[look]))
        ++look;
    if (look < m_line.size() && isAlpha(m_line[look])) {
        m_pos = look;
        while (!atEnd() && (isAlpha(peek()) || peek() == '/'))
            token.suffix += upper(m_line[m_pos++]);
    }
    return true;
}

bool ScpiMessageReader::readNonDecimal(ScpiToken &token, ScpiError &error)
{
    // #H, #Q, #B followed by digits of that base.
    const qsizetype start = m_pos;
    ++m_pos;
    int base = 0;
    switch (upper(peek())) {
    case 'H': base = 16; break;
    case 'Q': base = 8; break;
    case 'B': base = 2; break;
    default:
        return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));
    }
    ++m_pos;
    const qsizetype digitsStart = m_pos;
    while (!atEnd() && (isDigit(peek()) || isAlpha(peek())))
        ++m_pos;
    const QByteArrayView digits = m_line.sliced(digitsStart, m_pos - digitsStart);
    unsigned long long value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.isEmpty() || result.ptr != digits.data() + digits.size())
        return fail(error, ScpiErrorCode::SyntaxError, excerpt(m_line.sliced(start)));
    if (result.ec == std::errc::result_out_of_range)
        return fail(error, ScpiErrorCode::DataOutOfRange, excerpt(m_line.sliced(start)));
    token.kind = ScpiToken::Kind::Number;
    token.number = double(value);
    return true;
}

bool ScpiMessageReader::readString(ScpiToken &token, ScpiError &error)
{
    // Either quote; the quote itself doubled inside stands for one.
    const qsizetype start = m_pos;
    const char quote = m_line[m_pos++];
    QByteArray bytes;
    for (;;) {
        if (atEnd())
            return fail(error, ScpiErrorCode::SyntaxError,
                        QStringLiteral("unterminated string ") + excerpt(m_line.sliced(start)));
        const char c = m_line[m_pos++];
        if (c == quote) {
            if (peek() != quote)
                break;
            ++m_pos;
        }
        bytes += c;
    }
    // Every character as sent, a leading U+FEFF included; bytes that are no
    // UTF-8 would otherwise turn into U+FFFD without a word.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return fail(error, ScpiErrorCode::SyntaxError, QStringLiteral("string is not UTF-8 ") + excerpt(m_line.sliced(start)));
    token.kind = ScpiToken::Kind::String;
    token.text = std::move(text);
    return true;
}

qsizetype Scpi::unitCount(QByteArrayView message)
{
    qsizetype units = 1;
    char quote = 0; // inside a string opened by this quote
    for (const char c : message) {
        if (quote) {
            // A doubled quote closes and opens again: no change.
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            ++units;
        }
    }
    return units;
}
