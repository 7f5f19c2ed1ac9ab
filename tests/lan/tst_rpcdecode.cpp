#include "rpc/RpcMessage.h"
#include "rpc/Xdr.h"

#include <QTest>
#include <QtEndian>

namespace {

QByteArray words(std::initializer_list<std::uint32_t> values)
{
    XdrWriter writer;
    for (const std::uint32_t value : values)
        writer.uint32(value);
    return writer.data();
}

QByteArray fragment(QByteArray body, bool last, std::uint32_t claimed = 0xFFFFFFFF)
{
    QByteArray header(4, '\0');
    const std::uint32_t length = claimed == 0xFFFFFFFF ? std::uint32_t(body.size()) : claimed;
    qToBigEndian(length | (last ? 0x80000000u : 0u), header.data());
    return header + body;
}

} // namespace

class RpcDecodeTest : public QObject
{
    Q_OBJECT

private slots:
    void opaque_data();
    void opaque();
    void records_data();
    void records();
    void recordsArriveInAnyChunks();
    void calls_data();
    void calls();
    void replies_data();
    void replies();
};

void RpcDecodeTest::opaque_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<uint>("maxSize");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("remaining");

    QTest::newRow("padded to four") << words({3}) + QByteArray("abc\0tail", 8) << 16u << true << QByteArray("abc") << 4;
    QTest::newRow("exact multiple") << words({4}) + "abcd" << 16u << true << QByteArray("abcd") << 0;
    QTest::newRow("empty") << words({0}) << 16u << true << QByteArray() << 0;
    QTest::newRow("longer than its record") << words({100}) + "abcd" << 1000u << false << QByteArray() << 4;
    QTest::newRow("padding missing") << words({3}) + "abc" << 16u << false << QByteArray() << 3;
    QTest::newRow("over the limit") << words({20}) + QByteArray(20, 'x') << 16u << false << QByteArray() << 20;
    QTest::newRow("length near 4 GiB") << words({0xFFFFFFFF}) + "abcd" << 0xFFFFFFFFu << false << QByteArray() << 4;
    QTest::newRow("truncated length") << QByteArray("\0\0", 2) << 16u << false << QByteArray() << 2;
}

void RpcDecodeTest::opaque()
{
    QFETCH(QByteArray, input);
    QFETCH(uint, maxSize);
    QFETCH(bool, ok);
    QFETCH(QByteArray, data);
    QFETCH(int, remaining);

    XdrReader reader(input);
    const auto result = reader.opaque(maxSize);
    QCOMPARE(result.has_value(), ok);
    QCOMPARE(reader.failed(), !ok);
    if (ok)
        QCOMPARE(result->toByteArray(), data);
    QCOMPARE(reader.remaining(), remaining);
    // Once failed, nothing more is read.
    if (!ok)
        QVERIFY(!reader.uint32());
}

void RpcDecodeTest::records_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<QByteArray>>("records");

    QTest::newRow("one record") << fragment("abcd", true) << true << QList<QByteArray>{"abcd"};
    QTest::newRow("fragments joined") << fragment("ab", false) + fragment("", false) + fragment("cd", true) << true
                                      << QList<QByteArray>{"abcd"};
    QTest::newRow("two records") << fragment("ab", true) + fragment("cd", true) << true << QList<QByteArray>{"ab", "cd"};
    QTest::newRow("incomplete fragment waits") << fragment("abcd", true).first(6) << true << QList<QByteArray>{};
    QTest::newRow("2 GiB claimed") << fragment("abcd", true, 0x7FFFFFFF) << false << QList<QByteArray>{};
    QTest::newRow("fragments past the limit") << fragment(QByteArray(40, 'x'), false) + fragment(QByteArray(40, 'y'), true)
                                              << false << QList<QByteArray>{};
    QTest::newRow("record before a hostile one is kept") << fragment("ok", true) + fragment("", true, 0x7FFFFFFF) << false
                                                         << QList<QByteArray>{"ok"};
}

void RpcDecodeTest::records()
{
    QFETCH(QByteArray, stream);
    QFETCH(bool, ok);
    QFETCH(QList<QByteArray>, records);

    RecordAssembler assembler(64);
    QCOMPARE(assembler.feed(stream), ok);
    QCOMPARE(assembler.failed(), !ok);
    QList<QByteArray> taken;
    while (const auto record = assembler.takeRecord())
        taken.append(*record);
    QCOMPARE(taken, records);
    QVERIFY(assembler.buffered() <= 64 + 8);
}

void RpcDecodeTest::recordsArriveInAnyChunks()
{
    const QByteArray stream = fragment("hello ", false) + fragment("world", true) + fragment("again", true);
    for (int chunk = 1; chunk <= stream.size(); ++chunk) {
        RecordAssembler assembler(1024);
        for (qsizetype at = 0; at < stream.size(); at += chunk)
            QVERIFY(assembler.feed(QByteArrayView(stream).sliced(at, std::min<qsizetype>(chunk, stream.size() - at))));
        QCOMPARE(assembler.takeRecord(), QByteArray("hello world"));
        QCOMPARE(assembler.takeRecord(), QByteArray("again"));
        QVERIFY(!assembler.takeRecord());
    }
    // Endless empty fragments hold nothing.
    RecordAssembler assembler(1024);
    for (int i = 0; i < 10000; ++i)
        QVERIFY(assembler.feed(fragment("", false)));
    QCOMPARE(assembler.buffered(), 0);
}

void RpcDecodeTest::calls_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("isCall");
    QTest::addColumn<bool>("rpcVersionOk");
    QTest::addColumn<uint>("procedure");
    QTest::addColumn<QByteArray>("arguments");

    const QByteArray header = words({7, 0, 2, 395183, 1, 11});
    QTest::newRow("AUTH_NONE") << header + words({0, 0, 0, 0}) + "argsARGS" << true << true << 11u << QByteArray("argsARGS");
    QTest::newRow("as a client makes it") << Rpc::call(7, 395183, 1, 11, "argsARGS") << true << true << 11u
                                          << QByteArray("argsARGS");
    QTest::newRow("AUTH_SYS credential skipped") << header + words({1, 8}) + "machine!" + words({0, 0}) << true << true << 11u
                                                 << QByteArray();
    QTest::newRow("credential longer than 400") << header + words({1, 404}) + QByteArray(404, 'c') + words({0, 0}) << false
                                                << true << 0u << QByteArray();
    QTest::newRow("truncated verifier") << header + words({0, 0, 0}) << false << true << 0u << QByteArray();
    QTest::newRow("a reply, not a call") << words({7, 1, 0, 0, 0, 0}) << false << true << 0u << QByteArray();
    QTest::newRow("RPC version 3") << words({7, 0, 3, 395183, 1, 11}) << true << false << 0u << QByteArray();
    QTest::newRow("empty") << QByteArray() << false << true << 0u << QByteArray();
}

void RpcDecodeTest::calls()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, isCall);
    QFETCH(bool, rpcVersionOk);
    QFETCH(uint, procedure);
    QFETCH(QByteArray, arguments);

    const std::optional<RpcCall> call = Rpc::parseCall(record);
    QCOMPARE(call.has_value(), isCall);
    if (!call)
        return;
    QCOMPARE(call->xid, 7u);
    QCOMPARE(call->rpcVersionOk, rpcVersionOk);
    if (!rpcVersionOk)
        return;
    QCOMPARE(call->program, 395183u);
    QCOMPARE(call->procedure, procedure);
    QCOMPARE(call->arguments.toByteArray(), arguments);
}

void RpcDecodeTest::replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("success") << Rpc::success(9, words({0, 42})) << words({9, 1, 0, 0, 0, 0, 0, 42});
    QTest::newRow("PROG_UNAVAIL") << Rpc::programUnavailable(9) << words({9, 1, 0, 0, 0, 1});
    QTest::newRow("PROG_MISMATCH") << Rpc::programMismatch(9, 1, 1) << words({9, 1, 0, 0, 0, 2, 1, 1});
    QTest::newRow("PROC_UNAVAIL") << Rpc::procedureUnavailable(9) << words({9, 1, 0, 0, 0, 3});
    QTest::newRow("GARBAGE_ARGS") << Rpc::garbageArguments(9) << words({9, 1, 0, 0, 0, 4});
    QTest::newRow("RPC_MISMATCH") << Rpc::rpcMismatch(9) << words({9, 1, 1, 0, 2, 2});
}

void RpcDecodeTest::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, expected);
    QCOMPARE(reply.toHex(' '), expected.toHex(' '));
}

QTEST_GUILESS_MAIN(RpcDecodeTest)
#include "tst_rpcdecode.moc"
