#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "web/G740Web.h"
#include "web/WebAccess.h"
#include "web/WebServer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>
#include <vector>

// The web server through real sockets on loopback: who may change the
// generator, the limits a hostile client meets, the API on the instrument
// and the stand-in module, the event stream and the identification.
class TestWebServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void access_data();
    void access();
    void passwords_data();
    void passwords();
    void limits_data();
    void limits();
    void connectionLimitAndSlowClients();
    void idleConnectionsGiveWay();
    void api_data();
    void api();
    void changeReachesOpenPagesAtOnce();
    void sweepFollowsTheRecord();
    void identification();

private:
    QByteArray get(quint16 port, const QByteArray &request, int timeoutMs = 5000);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Instrument> m_instrument;
    std::unique_ptr<G740Web> m_web;
};

namespace {

// The status of an answer ("HTTP/1.1 403 ..."), or 0.
int statusOf(const QByteArray &response)
{
    return response.startsWith("HTTP/1.1 ") ? response.mid(9, 3).toInt() : 0;
}

QByteArray bodyOf(const QByteArray &response)
{
    const qsizetype end = response.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : response.mid(end + 4);
}

// Whole once the head and Content-Length bytes are there.
bool whole(const QByteArray &response)
{
    const qsizetype end = response.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const qsizetype at = response.indexOf("Content-Length: ");
    if (at < 0 || at > end)
        return true;
    const int length = response.mid(at + 16, response.indexOf('\r', at) - at - 16).toInt();
    return response.size() >= end + 4 + length;
}

} // namespace

void TestWebServer::init()
{
    qunsetenv("MODLINK_SIM");
    m_dir = std::make_unique<QTemporaryDir>();
    m_instrument = std::make_unique<Instrument>();
    QVERIFY(!m_instrument->detect());
    (void)m_instrument->setRecord(Instrument::defaultRecord());
    WebProgram program;
    program.settingsPath = m_dir->filePath(QStringLiteral("G740Config.ini"));
    m_web = std::make_unique<G740Web>(*m_instrument, program);
    QVERIFY(m_web->listen(QHostAddress::LocalHost, 0));
}

void TestWebServer::cleanup()
{
    m_web.reset();
    m_instrument.reset();
    m_dir.reset();
}

QByteArray TestWebServer::get(quint16 port, const QByteArray &request, int timeoutMs)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray response;
    (void)QTest::qWaitFor([&] {
        response += socket.readAll();
        return whole(response) || socket.state() == QAbstractSocket::UnconnectedState;
    }, timeoutMs);
    return response + socket.readAll();
}

void TestWebServer::access_data()
{
    QTest::addColumn<bool>("loopback");
    QTest::addColumn<bool>("password");
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QString>("token"); // page, session, wrong or none
    QTest::addColumn<int>("verdict");

    using V = WebAccess::Verdict;
    const QByteArray json = "Content-Type: application/json\r\n";
    const QByteArray own = "Host: 127.0.0.1:8080\r\n" + json;
    QTest::newRow("own page") << true << false << QByteArray(own + "Origin: http://127.0.0.1:8080\r\n") << "page" << int(V::Allowed);
    QTest::newRow("script without origin") << true << false << own << "page" << int(V::Allowed);
    QTest::newRow("localhost name") << true << false << QByteArray("Host: localhost:8080\r\nOrigin: http://localhost:8080\r\n" + json) << "page" << int(V::Allowed);
    QTest::newRow("IPv6 loopback") << true << false << QByteArray("Host: [::1]:8080\r\n" + json) << "page" << int(V::Allowed);
    QTest::newRow("other site's origin") << true << false << QByteArray(own + "Origin: http://evil.example\r\n") << "page" << int(V::CrossSite);
    QTest::newRow("other site's referer") << true << false << QByteArray(own + "Referer: http://evil.example/x\r\n") << "page" << int(V::CrossSite);
    QTest::newRow("referer that only starts alike") << true << false << QByteArray(own + "Referer: http://127.0.0.1:8080.evil.example/\r\n") << "page" << int(V::CrossSite);
    QTest::newRow("own referer") << true << false << QByteArray(own + "Referer: http://127.0.0.1:8080/\r\n") << "page" << int(V::Allowed);
    QTest::newRow("name pointed at loopback") << true << false << QByteArray("Host: evil.example:8080\r\nOrigin: http://evil.example:8080\r\n" + json) << "page" << int(V::WrongHost);
    QTest::newRow("form post") << true << false << QByteArray("Host: 127.0.0.1:8080\r\nContent-Type: application/x-www-form-urlencoded\r\n") << "page" << int(V::NotJson);
    QTest::newRow("wrong token") << true << false << own << "wrong" << int(V::BadToken);
    QTest::newRow("no token") << true << false << own << "none" << int(V::BadToken);
    QTest::newRow("network without password") << false << false << QByteArray("Host: lab-pc:8080\r\n" + json) << "page" << int(V::ReadOnly);
    QTest::newRow("network, page token only") << false << true << QByteArray("Host: lab-pc:8080\r\n" + json) << "page" << int(V::BadToken);
    QTest::newRow("network after login") << false << true << QByteArray("Host: lab-pc:8080\r\nOrigin: http://lab-pc:8080\r\n" + json) << "session" << int(V::Allowed);
}

void TestWebServer::access()
{
    QFETCH(bool, loopback);
    QFETCH(bool, password);
    QFETCH(QByteArray, headers);
    QFETCH(QString, token);
    QFETCH(int, verdict);

    WebAccess access(loopback, password ? WebAccess::hashPassword(QStringLiteral("secret"), {}, 1000) : QString());
    QByteArray value;
    if (token == QLatin1String("page"))
        value = access.pageToken();
    else if (token == QLatin1String("session"))
        value = access.login(QStringLiteral("secret"));
    else if (token == QLatin1String("wrong"))
        value = WebAccess::randomToken();
    if (!value.isEmpty())
        headers += "X-G740-Token: " + value + "\r\n";
    HttpRequestParser parser;
    QCOMPARE(parser.feed("POST /api/start HTTP/1.1\r\n" + headers + "\r\n"), HttpRequestParser::State::Complete);
    QCOMPARE(int(access.checkChange(parser.takeRequest())), verdict);
}

void TestWebServer::passwords_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");

    const QString record = WebAccess::hashPassword(QStringLiteral("пароль 1"), QByteArray("0123456789abcdef"), 1000);
    QTest::newRow("right") << record << QStringLiteral("пароль 1") << true;
    QTest::newRow("letter case") << record << QStringLiteral("Пароль 1") << false;
    QTest::newRow("empty") << record << QString() << false;
    QString tampered = record;
    tampered[tampered.size() - 1] = tampered.back() == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    QTest::newRow("hash changed") << tampered << QStringLiteral("пароль 1") << false;
    QString otherCount = record;
    otherCount.replace(QStringLiteral("$1000$"), QStringLiteral("$1001$"));
    QTest::newRow("count changed") << otherCount << QStringLiteral("пароль 1") << false;
    QTest::newRow("unknown scheme") << QString(record).replace(QStringLiteral("pbkdf2-sha256"), QStringLiteral("md5")) << QStringLiteral("пароль 1") << false;
    QTest::newRow("count too large to try") << QString(record).replace(QStringLiteral("$1000$"), QStringLiteral("$999999999$"))
                                            << QStringLiteral("пароль 1") << false;
    QTest::newRow("plain text stored") << QStringLiteral("пароль 1") << QStringLiteral("пароль 1") << false;
}

void TestWebServer::passwords()
{
    QFETCH(QString, record);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    QCOMPARE(WebAccess::verifyPassword(password, record), accepted);
    // Never the password itself in the settings file.
    QVERIFY(!record.contains(QStringLiteral("$пароль")));
}

void TestWebServer::limits_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");

    QTest::newRow("1 MB of header") << QByteArray("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX: " + QByteArray(1024 * 1024, 'a') + "\r\n\r\n") << 431;
    QTest::newRow("garbage") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03 \r\n\r\n", 16) << 400;
    QTest::newRow("body too large") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 70000\r\n\r\n") << 413;
    QByteArray chunks;
    for (int i = 0; i < 70; ++i)
        chunks += "400\r\n" + QByteArray(1024, 'x') + "\r\n";
    QTest::newRow("chunks past 64 KiB") << QByteArray("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks) << 413;
    QTest::newRow("file path") << QByteArray("GET /../../etc/passwd HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n") << 404;
    QTest::newRow("resource path") << QByteArray("GET /:/web/index.html HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n") << 404;
    QTest::newRow("other method") << QByteArray("DELETE /api/record HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n") << 405;
}

void TestWebServer::limits()
{
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QCOMPARE(statusOf(get(m_web->port(), request)), status);
    // The server goes on serving.
    QCOMPARE(statusOf(get(m_web->port(), "GET /page.css HTTP/1.0\r\n\r\n")), 200);
}

void TestWebServer::connectionLimitAndSlowClients()
{
    WebServer server([](const HttpRequest &request, const WebPeer &) { return HttpResponse::text(200, request.path); });
    server.setTimeouts(1500, 1500);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    // Slow clients: each sends half a request and no more.
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < WebServer::MaxConnections; ++i) {
        slow.push_back(std::make_unique<QTcpSocket>());
        slow.back()->connectToHost(QHostAddress::LocalHost, server.port());
        slow.back()->write("GET /slow HTTP/1.1\r\n");
    }
    QTRY_COMPARE(server.connectionCount(), WebServer::MaxConnections);
    for (const auto &socket : slow)
        QTRY_COMPARE(socket->bytesToWrite(), 0);
    QTest::qWait(50); // the server has read their halves
    // One more is told so and closed.
    const QByteArray refused = get(server.port(), "GET /x HTTP/1.1\r\nHost: h\r\n\r\n");
    QCOMPARE(statusOf(refused), 503);
    // The slow ones are dropped after the timeout, and a new client is served.
    QElapsedTimer clock;
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(server.connectionCount(), 0, 5000);
    QVERIFY(clock.elapsed() < 4000);
    for (const auto &socket : slow)
        QTRY_COMPARE(socket->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(bodyOf(get(server.port(), "GET /next HTTP/1.1\r\nHost: h\r\n\r\n")), QByteArray("/next"));
}

void TestWebServer::idleConnectionsGiveWay()
{
    WebServer server([](const HttpRequest &request, const WebPeer &) { return HttpResponse::text(200, request.path); });
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    // Connections that sent nothing, as a browser keeps them, or as a flood
    // of idle ones holds them.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 1000; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, server.port());
        if (i % 100 == 99)
            QTest::qWait(10);
    }
    QTRY_VERIFY(server.connectionCount() <= WebServer::MaxConnections);
    // A real client is still served, the oldest idle one making room.
    QCOMPARE(bodyOf(get(server.port(), "GET /served HTTP/1.1\r\nHost: h\r\n\r\n")), QByteArray("/served"));
    QVERIFY(server.connectionCount() <= WebServer::MaxConnections);
}

void TestWebServer::api_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("status");
    QTest::addColumn<double>("startFrequency"); // afterwards

    const QByteArray page = "Origin: http://127.0.0.1\r\nContent-Type: application/json\r\nX-G740-Token: @\r\n";
    const QByteArray set = R"({"StartFrequency": 25000})";
    QTest::newRow("set") << QByteArray("/api/record") << page << set << false << 200 << 25000.0;
    QTest::newRow("set as text") << QByteArray("/api/record") << page << QByteArray(R"({"StartFrequency": "12.5"})") << false << 200 << 12.5;
    QTest::newRow("while running") << QByteArray("/api/record") << page << set << true << 409 << 10.0;
    QTest::newRow("out of range") << QByteArray("/api/record") << page << QByteArray(R"({"StartFrequency": 60000})") << false << 400 << 10.0;
    QTest::newRow("not a number") << QByteArray("/api/record") << page << QByteArray(R"({"StartFrequency": "10,5"})") << false << 400 << 10.0;
    QTest::newRow("unknown field first") << QByteArray("/api/record") << page << QByteArray(R"({"StartFrequency": 20, "Bogus": 1})") << false << 400 << 10.0;
    QTest::newRow("locked field") << QByteArray("/api/record") << page << QByteArray(R"({"MasterClock": 100})") << false << 409 << 10.0;
    QTest::newRow("not JSON") << QByteArray("/api/record") << page << QByteArray("StartFrequency=1") << false << 400 << 10.0;
    QTest::newRow("no token") << QByteArray("/api/record") << QByteArray("Content-Type: application/json\r\n") << set << false << 403 << 10.0;
    QTest::newRow("other site") << QByteArray("/api/record") << QByteArray(page).replace("http://127.0.0.1", "http://evil.example") << set << false << 403 << 10.0;
    QTest::newRow("stop while running") << QByteArray("/api/stop") << page << QByteArray() << true << 200 << 10.0;
    QTest::newRow("unknown action") << QByteArray("/api/reboot") << page << QByteArray() << false << 404 << 10.0;
}

void TestWebServer::api()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, headers);
    QFETCH(QByteArray, body);
    QFETCH(bool, running);
    QFETCH(int, status);
    QFETCH(double, startFrequency);

    const QByteArray html = bodyOf(get(m_web->port(), "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    const qsizetype at = html.indexOf("g740-token\" content=\"") + 21;
    const QByteArray token = html.mid(at, html.indexOf('"', at) - at);
    QCOMPARE(token.size(), 48);
    if (running)
        QVERIFY(!m_instrument->start());
    headers.replace("@", token);
    const QByteArray response = get(m_web->port(), "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers
                                                       + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QCOMPARE(statusOf(response), status);
    const double start = m_instrument->record().StartFrequency; // a packed field: copied first
    QCOMPARE(start, startFrequency);
    // Every answer of the API is JSON, a refusal with the operator's text.
    const QJsonObject answer = QJsonDocument::fromJson(bodyOf(response)).object();
    QCOMPARE(answer.contains(QStringLiteral("error")), status != 200);
    if (path == "/api/stop")
        QVERIFY(!m_instrument->isRunning());
}

void TestWebServer::changeReachesOpenPagesAtOnce()
{
    QTcpSocket stream;
    stream.connectToHost(QHostAddress::LocalHost, m_web->port());
    stream.write("GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QByteArray received;
    QVERIFY(QTest::qWaitFor([&] { received += stream.readAll(); return received.indexOf("\n\n", received.indexOf("event: state")) > 0; }));
    QVERIFY(received.contains("text/event-stream"));
    QVERIFY(!received.contains("Content-Length"));
    QTRY_COMPARE(m_web->pageCount(), 1);
    received.clear();
    // A change from another front door (the window, SCPI): three in a row
    // come as one event.
    QVERIFY(!m_instrument->setField(RecordRules::Field::StartFrequency, 30000));
    QVERIFY(!m_instrument->setField(RecordRules::Field::NumberOfIncrements, 5));
    QVERIFY(!m_instrument->setField(RecordRules::Field::StartFrequency, 31000));
    // How soon it comes is bench/web_bench.py's to measure.
    QVERIFY(QTest::qWaitFor([&] { received += stream.readAll(); return received.endsWith("\n\n"); }, 5000));
    QCOMPARE(received.count("event: state"), 1);
    QVERIFY(received.contains("\"text\":\"31000.0000\""));
    // A set stored elsewhere (SCPI's MEM:STOR) is listed on the pages too.
    received.clear();
    QVERIFY(!InstrumentSets(*m_instrument, m_dir->filePath(QStringLiteral("G740Config.ini"))).save(QStringLiteral("Elsewhere")));
    QVERIFY(QTest::qWaitFor([&] { received += stream.readAll(); return received.contains("\"sets\":[\"Elsewhere\"]"); }, 2000));
    stream.abort();
    QTRY_COMPARE(m_web->pageCount(), 0);
}

void TestWebServer::sweepFollowsTheRecord()
{
    const auto steps = [this] {
        const QByteArray json = bodyOf(get(m_web->port(), "GET /api/sweep HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
        const QJsonObject sweep = QJsonDocument::fromJson(json).object();
        // Two points a step on the chart, and the count in the summary.
        return qMakePair(sweep.value(QStringLiteral("x")).toArray().size(),
                         sweep.value(QStringLiteral("summary")).toArray().first().toObject().value(QStringLiteral("text")).toString());
    };
    QCOMPARE(steps(), qMakePair(qsizetype(22), QStringLiteral("11")));
    QVERIFY(!m_instrument->setField(RecordRules::Field::NumberOfIncrements, 4));
    QCOMPARE(steps(), qMakePair(qsizetype(10), QStringLiteral("5")));
}

void TestWebServer::identification()
{
    // An HTTP/1.0 tool without a Host header, as discovery tools ask.
    const QByteArray response = get(m_web->port(), "GET /lxi/identification HTTP/1.0\r\n\r\n");
    QCOMPARE(statusOf(response), 200);
    QVERIFY(response.contains("Connection: close"));
    const QByteArray xml = bodyOf(response);
    QVERIFY(xml.size() < 4096);
    QXmlStreamReader reader(xml);
    QStringList order;
    QStringList addresses;
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            ++depth;
            QCOMPARE(reader.namespaceUri().toString(), QStringLiteral("http://www.lxistandard.org/InstrumentIdentification/1.0"));
            if (depth == 1)
                QCOMPARE(reader.name().toString(), QStringLiteral("LXIDevice"));
            else if (depth == 2)
                order << reader.name().toString();
            else if (reader.name() == QLatin1String("InstrumentAddressString"))
                addresses << reader.readElementText(), --depth;
        } else if (reader.isEndElement()) {
            --depth;
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(order, (QStringList{"Manufacturer", "Model", "SerialNumber", "FirmwareRevision", "ManufacturerDescription",
                                 "HomepageURL", "DriverURL", "UserDescription", "IdentificationURL", "Interface", "Domain",
                                 "LXIVersion"}));
    QCOMPARE(addresses, QStringList{QStringLiteral("TCPIP::127.0.0.1::INSTR")});
}

QTEST_GUILESS_MAIN(TestWebServer)
#include "tst_webserver.moc"
