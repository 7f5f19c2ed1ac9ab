#pragma once

#include "web/HttpRequestParser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <deque>

// Who may change the generator through the web page. A page of another site
// open in the same browser must not: a change is a POST of JSON (a plain
// form cannot send that across sites), from this site's own origin, with a
// token only a page served here knows. Listening beyond loopback, the token
// comes from a login with the operator's password; without a password set
// the page is read-only there. On loopback the Host must name loopback too,
// so a site whose name is made to point at 127.0.0.1 cannot read the token.
class WebAccess
{
public:
    enum class Verdict
    {
        Allowed,
        WrongHost,     // 403: not this server's name
        CrossSite,     // 403: Origin or Referer of another site
        NotJson,       // 415
        BadToken,      // 403: missing or wrong token
        ReadOnly,      // 403: beyond loopback without a password set
    };

    static constexpr int MaxSessions = 32;
    static constexpr int Pbkdf2Iterations = 100000;

    // loopbackOnly: the server listens on a loopback address only.
    // passwordRecord: hashPassword()'s text from the settings file, or empty.
    WebAccess(bool loopbackOnly, QString passwordRecord);

    bool loopbackOnly() const { return m_loopbackOnly; }
    bool hasPassword() const { return !m_passwordRecord.isEmpty(); }
    // Changes need a login first (beyond loopback).
    bool needsLogin() const { return !m_loopbackOnly; }
    // The token the page is served with: on loopback it allows changes.
    QByteArray pageToken() const { return m_pageToken; }

    // Any request: does its Host name this server?
    bool hostAllowed(const HttpRequest &request) const;
    // A request that changes something.
    Verdict checkChange(const HttpRequest &request) const;
    // The same checks as a change, without the token: for the login itself.
    Verdict checkLogin(const HttpRequest &request) const;
    // A fresh session token for the right password; empty otherwise.
    QByteArray login(const QString &password);
    // A wrong password was tried less than LoginPauseMs ago: no new try yet.
    bool loginThrottled() const;
    static constexpr int LoginPauseMs = 1000;

    // "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in hex). salt:
    // random when empty.
    static QString hashPassword(const QString &password, QByteArray salt = {},
                                int iterations = Pbkdf2Iterations);
    static bool verifyPassword(const QString &password, const QString &record);
    static QByteArray randomToken();

private:
    Verdict sameSite(const HttpRequest &request) const;

    bool m_loopbackOnly;
    QString m_passwordRecord;
    QByteArray m_pageToken;
    std::deque<QByteArray> m_sessions; // newest last
    QElapsedTimer m_sinceFailure;
};
