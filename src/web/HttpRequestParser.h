#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

// One HTTP/1.x request as the parser hands it over: the method, the target's
// path and query apart, the version, the header fields (names in lower
// case, values trimmed) and the body, chunked bodies already decoded.
struct HttpRequest
{
    QByteArray method;
    QByteArray path;  // the target up to "?"
    QByteArray query; // after "?", without it
    int minorVersion = 1; // HTTP/1.0 or HTTP/1.1
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The first field of that name (lower case), or a null array.
    QByteArray header(QByteArrayView name) const;
    // HTTP/1.1 keeps the connection unless told to close; 1.0 the reverse.
    bool keepAlive() const;
};

// Reads requests from the bytes of one connection, as they arrive in any
// pieces. Pure: no sockets, so it can be fed anything. The limits keep a
// hostile client from making the program hold more than a few tens of KiB
// per connection.
class HttpRequestParser
{
public:
    static constexpr qsizetype MaxHeaderBytes = 16 * 1024; // request line and fields
    static constexpr qsizetype MaxBodyBytes = 64 * 1024;
    static constexpr int MaxHeaderFields = 100;

    enum class State
    {
        NeedMore, // no whole request yet
        Complete, // takeRequest() has one
        Failed,   // errorStatus() tells the answer; the connection is closed after it
    };

    // Adds bytes and parses as far as they go. After Complete, call
    // takeRequest() and then feed() with nothing to parse a pipelined one.
    State feed(QByteArrayView bytes);
    State state() const { return m_state; }
    HttpRequest takeRequest();
    // 400 malformed, 413 body too large, 431 header too large,
    // 501 transfer coding not supported, 505 not HTTP/1.x.
    int errorStatus() const { return m_errorStatus; }
    // The bytes held for requests not yet whole.
    qsizetype bufferedBytes() const { return m_buffer.size(); }

private:
    enum class Stage
    {
        Head,
        Body,      // Content-Length bytes
        ChunkSize, // a chunk's size line
        ChunkData,
        ChunkEnd,  // the CRLF after a chunk
        Trailer,
    };

    State parse();
    bool parseHead(QByteArrayView head);
    bool parseRequestLine(QByteArrayView line);
    State fail(int status);
    // The next line (without CRLF or LF) from m_buffer at m_offset, or false.
    bool nextLine(QByteArrayView &line, qsizetype limit);

    QByteArray m_buffer;
    qsizetype m_offset = 0;
    Stage m_stage = Stage::Head;
    State m_state = State::NeedMore;
    HttpRequest m_request;
    qint64 m_remaining = 0; // body or chunk bytes still to come
    qsizetype m_trailerBytes = 0;
    int m_errorStatus = 0;
};
