#include "web/HttpResponse.h"

HttpResponse HttpResponse::text(int status, const QByteArray &text)
{
    return {status, "text/plain; charset=utf-8", text, {}, false};
}

HttpResponse HttpResponse::json(int status, const QByteArray &json)
{
    return {status, "application/json; charset=utf-8", json, {}, false};
}

QByteArray httpReason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 409: return "Conflict";
    case 413: return "Content Too Large";
    case 415: return "Unsupported Media Type";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Unknown";
    }
}

QByteArray HttpResponse::serialize(bool keepAlive, bool headOnly) const
{
    QByteArray out;
    out.reserve(256 + (headOnly ? 0 : body.size()));
    out += "HTTP/1.1 " + QByteArray::number(status) + ' ' + httpReason(status) + "\r\n";
    if (!contentType.isEmpty())
        out += "Content-Type: " + contentType + "\r\n";
    // Nothing of the instrument's state may come from a cache, and no page
    // of another site may frame this one or guess types.
    out += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nX-Frame-Options: DENY\r\n";
    for (const auto &header : headers)
        out += header.first + ": " + header.second + "\r\n";
    if (eventStream) {
        out += "Connection: keep-alive\r\n\r\n";
        out += body;
        return out;
    }
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (!headOnly)
        out += body;
    return out;
}
