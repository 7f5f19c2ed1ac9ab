#include "web/HttpRequestParser.h"

#include <optional>

namespace {

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

QByteArrayView withoutCr(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

// Only visible characters, blanks and bytes above 0x7F (obsolete text).
bool isFieldValue(QByteArrayView value)
{
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F)
            return false;
    }
    return true;
}

// Decimal digits only, no sign, no overflow past limit (then limit + 1).
std::optional<qint64> decimal(QByteArrayView text, qint64 limit)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return limit + 1;
    }
    return value;
}

std::optional<qint64> hexadecimal(QByteArrayView text, qint64 limit)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
        if (value > limit)
            return limit + 1;
    }
    return value;
}

constexpr qsizetype MaxChunkLine = 1024;

} // namespace

QByteArray HttpRequest::header(QByteArrayView name) const
{
    for (const auto &field : headers) {
        if (field.first == name)
            return field.second;
    }
    return {};
}

bool HttpRequest::keepAlive() const
{
    const QByteArray connection = header("connection").toLower();
    if (minorVersion == 0)
        return connection.contains("keep-alive");
    return !connection.contains("close");
}

HttpRequestParser::State HttpRequestParser::feed(QByteArrayView bytes)
{
    if (m_state == State::Failed)
        return m_state;
    m_buffer.append(bytes);
    if (m_state == State::Complete)
        return m_state;
    return parse();
}

HttpRequest HttpRequestParser::takeRequest()
{
    HttpRequest request = std::move(m_request);
    m_request = {};
    if (m_state == State::Complete)
        m_state = State::NeedMore;
    return request;
}

HttpRequestParser::State HttpRequestParser::fail(int status)
{
    m_errorStatus = status;
    m_state = State::Failed;
    m_buffer.clear();
    m_offset = 0;
    return m_state;
}

bool HttpRequestParser::nextLine(QByteArrayView &line, qsizetype limit)
{
    const qsizetype end = m_buffer.indexOf('\n', m_offset);
    if (end < 0 || end - m_offset > limit)
        return false;
    line = withoutCr(QByteArrayView(m_buffer).sliced(m_offset, end - m_offset));
    m_offset = end + 1;
    return true;
}

HttpRequestParser::State HttpRequestParser::parse()
{
    State result = State::NeedMore;
    while (result == State::NeedMore) {
        const qsizetype available = m_buffer.size() - m_offset;
        if (m_stage == Stage::Head) {
            // Empty lines before a request are skipped (a client's stray
            // CRLF); they are dropped as they come, so they cost no memory,
            // and the server's request timeout ends a stream of them.
            while (m_offset < m_buffer.size() && (m_buffer[m_offset] == '\r' || m_buffer[m_offset] == '\n'))
                ++m_offset;
            const QByteArrayView rest = QByteArrayView(m_buffer).sliced(m_offset);
            qsizetype end = -1;
            for (qsizetype i = rest.indexOf('\n'); i >= 0 && i < rest.size(); i = rest.indexOf('\n', i + 1)) {
                const qsizetype next = i + 1;
                if (next < rest.size() && rest[next] == '\n') {
                    end = next + 1;
                    break;
                }
                if (next + 1 < rest.size() && rest[next] == '\r' && rest[next + 1] == '\n') {
                    end = next + 2;
                    break;
                }
                if (next > MaxHeaderBytes)
                    break;
            }
            if (end < 0 || end > MaxHeaderBytes) {
                if (rest.size() > MaxHeaderBytes || end > MaxHeaderBytes)
                    return fail(431);
                break;
            }
            if (!parseHead(rest.first(end)))
                return m_state;
            m_offset += end;
            if (m_stage == Stage::Head)
                result = State::Complete;
        } else if (m_stage == Stage::Body) {
            const qsizetype take = qsizetype(qMin<qint64>(m_remaining, available));
            m_request.body.append(QByteArrayView(m_buffer).sliced(m_offset, take));
            m_offset += take;
            m_remaining -= take;
            if (m_remaining > 0)
                break;
            m_stage = Stage::Head;
            result = State::Complete;
        } else if (m_stage == Stage::ChunkSize) {
            QByteArrayView line;
            if (!nextLine(line, MaxChunkLine)) {
                if (available > MaxChunkLine)
                    return fail(400);
                break;
            }
            const qsizetype extension = line.indexOf(';');
            const QByteArrayView size = trimmedBlanks(extension < 0 ? line : line.first(extension));
            const std::optional<qint64> length = hexadecimal(size, MaxBodyBytes);
            if (!length)
                return fail(400);
            if (m_request.body.size() + *length > MaxBodyBytes)
                return fail(413);
            m_remaining = *length;
            m_stage = *length == 0 ? Stage::Trailer : Stage::ChunkData;
        } else if (m_stage == Stage::ChunkData) {
            const qsizetype take = qsizetype(qMin<qint64>(m_remaining, available));
            m_request.body.append(QByteArrayView(m_buffer).sliced(m_offset, take));
            m_offset += take;
            m_remaining -= take;
            if (m_remaining > 0)
                break;
            m_stage = Stage::ChunkEnd;
        } else if (m_stage == Stage::ChunkEnd) {
            QByteArrayView line;
            if (!nextLine(line, 2)) {
                if (available > 2)
                    return fail(400);
                break;
            }
            if (!line.isEmpty())
                return fail(400);
            m_stage = Stage::ChunkSize;
        } else { // Trailer: fields that are read and dropped
            QByteArrayView line;
            if (!nextLine(line, MaxHeaderBytes - m_trailerBytes)) {
                if (m_trailerBytes + available > MaxHeaderBytes)
                    return fail(431);
                break;
            }
            m_trailerBytes += line.size() + 2;
            if (line.isEmpty()) {
                m_stage = Stage::Head;
                result = State::Complete;
            }
        }
    }
    // Consumed bytes are dropped, so a long body is held once, not twice.
    m_buffer.remove(0, m_offset);
    m_offset = 0;
    m_state = result;
    return result;
}

bool HttpRequestParser::parseRequestLine(QByteArrayView line)
{
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype lastSpace = line.lastIndexOf(' ');
    if (firstSpace <= 0 || lastSpace == firstSpace) {
        fail(400);
        return false;
    }
    const QByteArrayView method = line.first(firstSpace);
    const QByteArrayView target = line.sliced(firstSpace + 1, lastSpace - firstSpace - 1);
    const QByteArrayView version = line.sliced(lastSpace + 1);
    if (!isToken(method) || target.isEmpty() || target.front() != '/' || target.contains(' ')) {
        fail(400);
        return false;
    }
    for (const char c : target) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F) {
            fail(400);
            return false;
        }
    }
    if (!version.startsWith("HTTP/") || version.size() != 8 || version[6] != '.' || version[5] < '0'
        || version[5] > '9' || version[7] < '0' || version[7] > '9') {
        fail(400);
        return false;
    }
    if (version[5] != '1' || version[7] > '1') {
        fail(505);
        return false;
    }
    m_request.method = method.toByteArray();
    const qsizetype question = target.indexOf('?');
    m_request.path = (question < 0 ? target : target.first(question)).toByteArray();
    m_request.query = question < 0 ? QByteArray() : target.sliced(question + 1).toByteArray();
    m_request.minorVersion = version[7] - '0';
    return true;
}

bool HttpRequestParser::parseHead(QByteArrayView head)
{
    m_request = {};
    bool first = true;
    while (!head.isEmpty()) {
        const qsizetype end = head.indexOf('\n');
        const QByteArrayView line = withoutCr(head.first(end));
        head = head.sliced(end + 1);
        if (first) {
            if (!parseRequestLine(line))
                return false;
            first = false;
            continue;
        }
        if (line.isEmpty())
            break;
        // A folded line or a blank before the colon is a classic way to make
        // two parsers read different requests: refused.
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(line.first(colon)) || m_request.headers.size() >= MaxHeaderFields) {
            fail(m_request.headers.size() >= MaxHeaderFields ? 431 : 400);
            return false;
        }
        const QByteArrayView value = trimmedBlanks(line.sliced(colon + 1));
        if (!isFieldValue(value)) {
            fail(400);
            return false;
        }
        m_request.headers.append({line.first(colon).toByteArray().toLower(), value.toByteArray()});
    }
    if (m_request.minorVersion == 1 && m_request.header("host").isNull()) {
        fail(400);
        return false;
    }
    std::optional<qint64> length;
    bool chunked = false;
    for (const auto &field : std::as_const(m_request.headers)) {
        if (field.first == "content-length") {
            const std::optional<qint64> value = decimal(field.second, MaxBodyBytes);
            if (!value || (length && *length != *value)) {
                fail(400);
                return false;
            }
            length = value;
        } else if (field.first == "transfer-encoding") {
            if (chunked || field.second.trimmed().toLower() != "chunked") {
                fail(501);
                return false;
            }
            chunked = true;
        }
    }
    if (chunked && length) {
        fail(400);
        return false;
    }
    if (length && *length > MaxBodyBytes) {
        fail(413);
        return false;
    }
    m_trailerBytes = 0;
    if (chunked) {
        m_stage = Stage::ChunkSize;
    } else if (length && *length > 0) {
        m_remaining = *length;
        m_stage = Stage::Body;
    } else {
        m_stage = Stage::Head;
    }
    return true;
}
