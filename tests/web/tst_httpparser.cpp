#include "web/HttpRequestParser.h"

#include <QTest>

// The request parser on bytes: each row is fed whole and then one byte at a
// time, and both must end the same way, since a network hands requests over
// in any pieces.
class TestHttpParser : public QObject
{
    Q_OBJECT

private slots:
    void requests_data();
    void requests();
    void pipelinedRequestsComeOneByOne();
    void endlessInputStaysBounded_data();
    void endlessInputStaysBounded();
};

using State = HttpRequestParser::State;

void TestHttpParser::requests_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status"); // 0: a whole request
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("body");

    const QByteArray host = "Host: a\r\n";
    QTest::newRow("plain GET") << QByteArray("GET / HTTP/1.1\r\n" + host + "\r\n") << 0 << QByteArray("/") << QByteArray() << QByteArray();
    QTest::newRow("query apart") << QByteArray("GET /api/state?x=1&y HTTP/1.1\r\n" + host + "\r\n") << 0
                                 << QByteArray("/api/state") << QByteArray("x=1&y") << QByteArray();
    QTest::newRow("HTTP/1.0 without Host") << QByteArray("GET /lxi/identification HTTP/1.0\r\n\r\n") << 0
                                           << QByteArray("/lxi/identification") << QByteArray() << QByteArray();
    QTest::newRow("bare LF line ends") << QByteArray("GET /x HTTP/1.1\nHost: a\n\n") << 0 << QByteArray("/x") << QByteArray() << QByteArray();
    QTest::newRow("stray CRLF before") << QByteArray("\r\n\r\nGET / HTTP/1.1\r\n" + host + "\r\n") << 0 << QByteArray("/") << QByteArray() << QByteArray();
    QTest::newRow("length body") << QByteArray("POST /p HTTP/1.1\r\n" + host + "Content-Length: 5\r\n\r\nhello") << 0
                                 << QByteArray("/p") << QByteArray() << QByteArray("hello");
    QTest::newRow("chunked body") << QByteArray("POST /p HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n5;x=y\r\npedia\r\n0\r\nT: v\r\n\r\n")
                                  << 0 << QByteArray("/p") << QByteArray() << QByteArray("Wikipedia");

    QTest::newRow("HTTP/1.1 without Host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("no version") << QByteArray("GET /\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("absolute target") << QByteArray("GET http://a/ HTTP/1.1\r\n" + host + "\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("space in target") << QByteArray("GET /a b HTTP/1.1\r\n" + host + "\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("version letters") << QByteArray("GET / HTTP/1.x\r\n" + host + "\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("HTTP/2") << QByteArray("GET / HTTP/2.0\r\n" + host + "\r\n") << 505 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("blank before colon") << QByteArray("GET / HTTP/1.1\r\nHost : a\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("folded field") << QByteArray("GET / HTTP/1.1\r\n" + host + "X: a\r\n b\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("control byte in value") << QByteArray("GET / HTTP/1.1\r\n" + host + "X: a\x01b\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("negative length") << QByteArray("POST / HTTP/1.1\r\n" + host + "Content-Length: -1\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("two lengths") << QByteArray("POST / HTTP/1.1\r\n" + host + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("length and chunked") << QByteArray("POST / HTTP/1.1\r\n" + host + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("gzip coding") << QByteArray("POST / HTTP/1.1\r\n" + host + "Transfer-Encoding: gzip, chunked\r\n\r\n") << 501 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("body over 64 KiB") << QByteArray("POST / HTTP/1.1\r\n" + host + "Content-Length: 65537\r\n\r\n") << 413 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("length beyond 64 bits") << QByteArray("POST / HTTP/1.1\r\n" + host + "Content-Length: 99999999999999999999999\r\n\r\n") << 413 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("chunk size beyond 64 bits") << QByteArray("POST / HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFFFF\r\n") << 413 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("chunk size not hex") << QByteArray("POST / HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\nzz\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("chunk without its CRLF") << QByteArray("POST / HTTP/1.1\r\n" + host + "Transfer-Encoding: chunked\r\n\r\n1\r\nabc\r\n") << 400 << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("head over 16 KiB") << QByteArray("GET / HTTP/1.1\r\n" + host + "X: " + QByteArray(17 * 1024, 'a') + "\r\n\r\n") << 431 << QByteArray() << QByteArray() << QByteArray();
}

void TestHttpParser::requests()
{
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, body);

    for (const bool byteByByte : {false, true}) {
        HttpRequestParser parser;
        State state = State::NeedMore;
        if (byteByByte) {
            for (qsizetype i = 0; i < input.size() && state == State::NeedMore; ++i)
                state = parser.feed(input.sliced(i, 1));
        } else {
            state = parser.feed(input);
        }
        if (status != 0) {
            QCOMPARE(state, State::Failed);
            QCOMPARE(parser.errorStatus(), status);
            continue;
        }
        QCOMPARE(state, State::Complete);
        const HttpRequest request = parser.takeRequest();
        QCOMPARE(request.path, path);
        QCOMPARE(request.query, query);
        QCOMPARE(request.body, body);
        QCOMPARE(parser.bufferedBytes(), 0);
    }
}

void TestHttpParser::pipelinedRequestsComeOneByOne()
{
    HttpRequestParser parser;
    const QByteArray two = "POST /a HTTP/1.1\r\nHost: h\r\nContent-Length: 2\r\n\r\nxyGET /b HTTP/1.0\r\nConnection: keep-alive\r\n\r\nGET /c";
    QCOMPARE(parser.feed(two), State::Complete);
    HttpRequest first = parser.takeRequest();
    QCOMPARE(first.body, QByteArray("xy"));
    QVERIFY(first.keepAlive());
    QCOMPARE(parser.feed({}), State::Complete);
    HttpRequest second = parser.takeRequest();
    QCOMPARE(second.path, QByteArray("/b"));
    QCOMPARE(second.minorVersion, 0);
    QVERIFY(second.keepAlive());
    // The third is not whole yet; its bytes wait.
    QCOMPARE(parser.feed({}), State::NeedMore);
    QCOMPARE(parser.feed(" HTTP/1.1\r\nHost: h\r\nConnection: close\r\n\r\n"), State::Complete);
    QVERIFY(!parser.takeRequest().keepAlive());
}

void TestHttpParser::endlessInputStaysBounded_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("repeated");
    QTest::addColumn<int>("status");

    QTest::newRow("header line without end") << QByteArray("GET / HTTP/1.1\r\nX: ") << QByteArray("a") << 431;
    QTest::newRow("header fields without end") << QByteArray("GET / HTTP/1.1\r\n") << QByteArray("X: a\r\n") << 431;
    QTest::newRow("chunks without last") << QByteArray("POST / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: chunked\r\n\r\n")
                                         << QByteArray("10\r\n0123456789abcdef\r\n") << 413;
    QTest::newRow("trailer without end") << QByteArray("POST / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n")
                                         << QByteArray("T: v\r\n") << 431;
    QTest::newRow("chunk size line without end") << QByteArray("POST / HTTP/1.1\r\nHost: h\r\nTransfer-Encoding: chunked\r\n\r\n")
                                                 << QByteArray("0") << 400;
}

void TestHttpParser::endlessInputStaysBounded()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, repeated);
    QFETCH(int, status);

    HttpRequestParser parser;
    State state = parser.feed(head);
    // A megabyte in pieces, as a hostile client sends it.
    for (int sent = 0; sent < 1024 * 1024 && state == State::NeedMore; sent += int(repeated.size())) {
        state = parser.feed(repeated);
        QVERIFY(parser.bufferedBytes() <= HttpRequestParser::MaxHeaderBytes + repeated.size());
    }
    QCOMPARE(state, State::Failed);
    QCOMPARE(parser.errorStatus(), status);
}

QTEST_APPLESS_MAIN(TestHttpParser)
#include "tst_httpparser.moc"
