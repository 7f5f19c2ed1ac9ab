#include "web/G740Web.h"

#include "generator/SweepPlan.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "runtime/ProgramIdentity.h"
#include "web/LxiIdentification.h"
#include "web/WebState.h"
#include "web/WebTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

HttpResponse errorResponse(int status, const QString &text)
{
    return HttpResponse::json(status, compact({{QStringLiteral("error"), text}}));
}

HttpResponse okResponse()
{
    return HttpResponse::json(200, compact({{QStringLiteral("ok"), true}}));
}

HttpResponse outcomeResponse(const InstrumentOutcome &outcome)
{
    return outcome ? errorResponse(WebActions::statusOf(*outcome), outcome->text) : okResponse();
}

} // namespace

// The page's files live in this static library; outside any namespace, as
// the macro needs.
static void initWebResources()
{
    Q_INIT_RESOURCE(web);
}

G740Web::G740Web(Instrument &instrument, WebProgram program, QObject *parent)
    : QObject(parent)
    , m_instrument(instrument)
    , m_program(std::move(program))
    , m_actions(instrument, m_program, this)
    , m_server([this](const HttpRequest &request, const WebPeer &peer) { return handle(request, peer); })
{
    initWebResources();
    connect(&instrument, &Instrument::recordChanged, this, [this] {
        ++m_revision;
        scheduleUpdate();
    });
    connect(&instrument, &Instrument::runningChanged, this, &G740Web::scheduleUpdate);
    connect(&instrument, &Instrument::moduleChanged, this, &G740Web::scheduleUpdate);
    // A set stored by another front door (the window's dialog, SCPI) changes
    // the settings file, which is replaced as a whole: its folder is watched.
    const QFileInfo settings(m_program.settingsPath);
    if (!m_program.settingsPath.isEmpty() && settings.dir().exists()) {
        m_settingsWatch.addPath(settings.absolutePath());
        connect(&m_settingsWatch, &QFileSystemWatcher::directoryChanged, this, &G740Web::scheduleUpdate);
    }
}

G740Web::~G740Web() = default;

bool G740Web::listen(const QHostAddress &address, quint16 port)
{
    m_access = std::make_unique<WebAccess>(address.isLoopback(), m_program.passwordRecord);
    return m_server.listen(address, port);
}

void G740Web::close()
{
    m_server.close();
}

bool G740Web::isListening() const
{
    return m_server.isListening();
}

quint16 G740Web::port() const
{
    return m_server.port();
}

QString G740Web::errorString() const
{
    return m_server.errorString();
}

int G740Web::pageCount() const
{
    return m_server.streamCount();
}

QString G740Web::listeningText(quint16 port)
{
    return WebTexts::listeningText(port);
}

QString G740Web::failureText(quint16 port, const QString &reason)
{
    return WebTexts::failureText(port, reason);
}

void G740Web::programChanged()
{
    scheduleUpdate();
}

void G740Web::scheduleUpdate()
{
    // Several changes in one turn of the event loop (a SCPI message of many
    // commands, a set loaded) reach the pages as one event.
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_updatePending = false;
        if (m_server.streamCount() > 0)
            m_server.broadcast("state", liveState());
    });
}

QJsonObject G740Web::liveStateObject() const
{
    QJsonObject state = WebState::state(m_instrument, m_program, InstrumentSets(m_instrument, m_program.settingsPath).names());
    state.insert(QStringLiteral("revision"), qint64(m_revision));
    return state;
}

QByteArray G740Web::liveState() const
{
    return compact(liveStateObject());
}

QString G740Web::hostOf(const WebPeer &peer) const
{
    // The address the client reached: the one it can use again.
    bool mapped = false;
    const quint32 ipv4 = peer.localAddress.toIPv4Address(&mapped);
    if (mapped)
        return QHostAddress(ipv4).toString();
    return peer.localAddress.toString();
}

HttpResponse G740Web::handle(const HttpRequest &request, const WebPeer &peer)
{
    // The identification is public and answered to any HTTP/1.0 tool.
    if (request.path != "/lxi/identification" && request.path != "/lxi/identification/"
        && !m_access->hostAllowed(request))
        return errorResponse(403, WebTexts::crossSiteRefused());
    if (request.method == "GET" || request.method == "HEAD")
        return handleGet(request, peer);
    if (request.method == "POST")
        return handlePost(request);
    HttpResponse refused = errorResponse(405, WebTexts::badRequest());
    refused.addHeader("Allow", "GET, HEAD, POST");
    return refused;
}

HttpResponse G740Web::page(const QString &resource, const QByteArray &type) const
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return errorResponse(404, WebTexts::badRequest());
    HttpResponse response{200, type, file.readAll(), {}, false};
    if (type.startsWith("text/html")) {
        // The page's token and language go into its head; nothing else of
        // the page changes per request.
        response.body.replace("@TOKEN@", m_access->pageToken());
        response.body.replace("@LANG@", WebTexts::languageCode().toLatin1());
        // Only this server's own scripts and styles, whatever the page shows.
        response.addHeader("Content-Security-Policy",
                           "default-src 'self'; img-src 'self' data:; frame-ancestors 'none'; form-action 'none'");
    }
    return response;
}

HttpResponse G740Web::stateResponse(const WebPeer &peer) const
{
    QJsonObject state = liveStateObject();
    const std::optional<quint16> remote = m_program.remotePort ? m_program.remotePort() : std::nullopt;
    state.insert(QStringLiteral("resources"),
                 QJsonArray::fromStringList(WebState::resourceStrings(hostOf(peer), peer.localPort, remote)));
    QJsonObject access{
        {QStringLiteral("canChange"), m_access->loopbackOnly() || m_access->hasPassword()},
        {QStringLiteral("needsLogin"), m_access->needsLogin() && m_access->hasPassword()},
    };
    if (m_access->needsLogin() && !m_access->hasPassword())
        access.insert(QStringLiteral("readOnlyReason"), WebTexts::readOnlyBeyondLoopback());
    state.insert(QStringLiteral("access"), access);
    state.insert(QStringLiteral("texts"), WebTexts::pageTexts());
    state.insert(QStringLiteral("language"), WebTexts::languageCode());
    return HttpResponse::json(200, compact(state));
}

HttpResponse G740Web::identification(const WebPeer &peer) const
{
    const QString host = hostOf(peer);
    const std::optional<quint16> remote = m_program.remotePort ? m_program.remotePort() : std::nullopt;
    LxiIdentification::Facts facts;
    facts.serialNumber = m_instrument.slot() == 0xFFFF ? QStringLiteral("NONE") : QString::number(m_instrument.slot());
    facts.description = ProgramIdentity::model() + QStringLiteral(" ") + ProgramIdentity::programName();
    const QStringList resources = WebState::resourceStrings(host, peer.localPort, remote);
    facts.homePageUrl = resources.last();
    facts.identificationUrl = resources.last() + QStringLiteral("lxi/identification");
    facts.addressStrings = resources.mid(0, resources.size() - 1);
    return {200, "text/xml; charset=utf-8", LxiIdentification::document(facts), {}, false};
}

HttpResponse G740Web::handleGet(const HttpRequest &request, const WebPeer &peer)
{
    const QByteArray &path = request.path;
    if (path == "/" || path == "/index.html")
        return page(QStringLiteral(":/web/index.html"), "text/html; charset=utf-8");
    if (path == "/page.js")
        return page(QStringLiteral(":/web/page.js"), "text/javascript; charset=utf-8");
    if (path == "/page.css")
        return page(QStringLiteral(":/web/page.css"), "text/css; charset=utf-8");
    if (path == "/lxi/identification" || path == "/lxi/identification/")
        return identification(peer);
    if (path == "/api/state")
        return stateResponse(peer);
    if (path == "/api/sweep") {
        // Every open page asks after each change: the plan of up to 4096
        // steps is worked out once per record, not once per page.
        if (m_sweepRevision != m_revision || m_sweep.isEmpty()) {
            m_sweep = compact(WebState::sweep(SweepPlan(m_instrument.record())));
            m_sweepRevision = m_revision;
        }
        return HttpResponse::json(200, m_sweep);
    }
    if (path == "/api/events") {
        // The stream starts with the state as it is, so a page that
        // reconnects misses nothing.
        HttpResponse stream{200, "text/event-stream; charset=utf-8",
                            "retry: 1000\n\n" + WebServer::eventBytes("state", liveState()), {}, true};
        return stream;
    }
    if (path.startsWith("/api/")) {
        HttpResponse refused = errorResponse(405, WebTexts::badRequest());
        refused.addHeader("Allow", "POST");
        return refused;
    }
    return errorResponse(404, WebTexts::badRequest());
}

HttpResponse G740Web::handlePost(const HttpRequest &request)
{
    const QByteArray &path = request.path;
    static const QList<QByteArray> actions{"/api/record", "/api/start", "/api/stop", "/api/sets/save",
                                           "/api/sets/load", "/api/login"};
    if (!actions.contains(path))
        return errorResponse(path.startsWith("/api/") ? 404 : 405, WebTexts::badRequest());
    const WebAccess::Verdict verdict = path == "/api/login" ? m_access->checkLogin(request) : m_access->checkChange(request);
    switch (verdict) {
    case WebAccess::Verdict::Allowed:
        break;
    case WebAccess::Verdict::NotJson:
        return errorResponse(415, WebTexts::badRequest());
    case WebAccess::Verdict::ReadOnly:
        return errorResponse(403, WebTexts::readOnlyBeyondLoopback());
    case WebAccess::Verdict::BadToken:
        return errorResponse(403, m_access->needsLogin() ? WebTexts::loginNeeded() : WebTexts::crossSiteRefused());
    case WebAccess::Verdict::WrongHost:
    case WebAccess::Verdict::CrossSite:
        return errorResponse(403, WebTexts::crossSiteRefused());
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(request.body.isEmpty() ? QByteArray("{}") : request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return errorResponse(400, WebTexts::badRequest());
    const QJsonObject body = document.object();
    if (path == "/api/login") {
        // Each try costs a key derivation; a flood of them must not stall
        // the event loop nor guess quickly.
        if (m_access->loginThrottled())
            return errorResponse(429, WebTexts::tooManyLogins());
        const QByteArray token = m_access->login(body.value(QStringLiteral("password")).toString());
        if (token.isEmpty())
            return errorResponse(403, m_access->hasPassword() ? WebTexts::wrongPassword() : WebTexts::readOnlyBeyondLoopback());
        return HttpResponse::json(200, compact({{QStringLiteral("token"), QString::fromLatin1(token)}}));
    }
    if (path == "/api/record")
        return outcomeResponse(m_actions.setFields(body));
    if (path == "/api/start")
        return outcomeResponse(m_actions.start());
    if (path == "/api/stop")
        return outcomeResponse(m_actions.stop());
    const QString name = body.value(QStringLiteral("name")).toString();
    if (path == "/api/sets/save") {
        const InstrumentOutcome saved = m_actions.saveSet(name);
        // The list of sets changed for every page.
        if (!saved)
            scheduleUpdate();
        return outcomeResponse(saved);
    }
    return outcomeResponse(m_actions.loadSet(name));
}
