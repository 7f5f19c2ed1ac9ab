#include "web/WebAccess.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>

namespace {

// Compares without leaving the position of the first difference in the time.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

// The host of a Host header: "[::1]:80" -> "::1", "name:8080" -> "name".
QString hostName(const QByteArray &host)
{
    QString text = QString::fromLatin1(host).trimmed().toLower();
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype end = text.indexOf(QLatin1Char(']'));
        return end < 0 ? QString() : text.mid(1, end - 1);
    }
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return colon < 0 ? text : text.left(colon);
}

} // namespace

WebAccess::WebAccess(bool loopbackOnly, QString passwordRecord)
    : m_loopbackOnly(loopbackOnly), m_passwordRecord(std::move(passwordRecord)), m_pageToken(randomToken())
{
}

QByteArray WebAccess::randomToken()
{
    quint32 words[6];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex();
}

bool WebAccess::hostAllowed(const HttpRequest &request) const
{
    const QByteArray host = request.header("host");
    if (host.isNull())
        return request.minorVersion == 0; // HTTP/1.0 may leave it out
    if (!m_loopbackOnly)
        return true;
    const QString name = hostName(host);
    if (name == QLatin1String("localhost") || name.endsWith(QLatin1String(".localhost")))
        return true;
    const QHostAddress address(name);
    return !address.isNull() && address.isLoopback();
}

WebAccess::Verdict WebAccess::sameSite(const HttpRequest &request) const
{
    if (!hostAllowed(request))
        return Verdict::WrongHost;
    const QByteArray own = "http://" + request.header("host").trimmed().toLower();
    const QByteArray origin = request.header("origin").trimmed().toLower();
    if (!origin.isNull()) {
        if (origin != own)
            return Verdict::CrossSite;
    } else {
        const QByteArray referer = request.header("referer").trimmed().toLower();
        if (!referer.isNull() && referer != own && !referer.startsWith(own + '/'))
            return Verdict::CrossSite;
    }
    const QByteArray type = request.header("content-type").toLower();
    if (!type.startsWith("application/json"))
        return Verdict::NotJson;
    return Verdict::Allowed;
}

WebAccess::Verdict WebAccess::checkLogin(const HttpRequest &request) const
{
    return sameSite(request);
}

WebAccess::Verdict WebAccess::checkChange(const HttpRequest &request) const
{
    const Verdict site = sameSite(request);
    if (site != Verdict::Allowed)
        return site;
    const QByteArray token = request.header("x-g740-token").trimmed();
    if (m_loopbackOnly)
        return sameBytes(token, m_pageToken) ? Verdict::Allowed : Verdict::BadToken;
    if (!hasPassword())
        return Verdict::ReadOnly;
    const bool known = std::any_of(m_sessions.begin(), m_sessions.end(),
                                   [&token](const QByteArray &session) { return sameBytes(token, session); });
    return known ? Verdict::Allowed : Verdict::BadToken;
}

bool WebAccess::loginThrottled() const
{
    return m_sinceFailure.isValid() && !m_sinceFailure.hasExpired(LoginPauseMs);
}

QByteArray WebAccess::login(const QString &password)
{
    if (!hasPassword() || loginThrottled())
        return {};
    if (!verifyPassword(password, m_passwordRecord)) {
        m_sinceFailure.start();
        return {};
    }
    m_sessions.push_back(randomToken());
    while (m_sessions.size() > MaxSessions)
        m_sessions.pop_front();
    return m_sessions.back();
}

QString WebAccess::hashPassword(const QString &password, QByteArray salt, int iterations)
{
    if (salt.isEmpty())
        salt = QByteArray::fromHex(randomToken()).left(16);
    const QByteArray hash = QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                                               iterations, 32);
    return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toHex()), QString::fromLatin1(hash.toHex()));
}

bool WebAccess::verifyPassword(const QString &password, const QString &record)
{
    const QStringList parts = record.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != QLatin1String("pbkdf2-sha256"))
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    // A record edited by hand to a huge count must not hang the program.
    if (!ok || iterations < 1 || iterations > 10000000)
        return false;
    const QByteArray salt = QByteArray::fromHex(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromHex(parts[3].toLatin1());
    if (salt.isEmpty() || expected.size() != 32)
        return false;
    return sameBytes(QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                                        iterations, 32),
                     expected);
}
