#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// An answer of the web server. eventStream: the connection stays open as a
// Server-Sent Events stream, body being its first events.
struct HttpResponse
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // added as they are
    bool eventStream = false;

    void addHeader(const QByteArray &name, const QByteArray &value) { headers.append(qMakePair(name, value)); }

    static HttpResponse text(int status, const QByteArray &text);
    static HttpResponse json(int status, const QByteArray &json);

    // The bytes on the wire. keepAlive: the connection stays for another
    // request; headOnly: the answer to HEAD (the length, no body).
    QByteArray serialize(bool keepAlive, bool headOnly = false) const;
};

// "Not Found" for 404 and so on; "Unknown" for codes this server never sends.
QByteArray httpReason(int status);
