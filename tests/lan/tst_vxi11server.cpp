#include "../remote/TestTree.h"
#include "RpcTestClient.h"

#include "lan/Vxi11Server.h"
#include "scpi/ScpiScheduler.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

using Reply = RpcTestClient::Reply;

enum : std::uint32_t
{
    CreateLink = 10,
    Write = 11,
    Read = 12,
    ReadStb = 13,
    Trigger = 14,
    Clear = 15,
    Remote = 16,
    Local = 17,
    Lock = 18,
    Unlock = 19,
    EnableSrq = 20,
    Docmd = 22,
    DestroyLink = 23,
    CreateIntrChan = 25,
    DestroyIntrChan = 26,
};

constexpr std::uint32_t Core = Vxi11::CoreProgram;

QByteArray createLinkArgs(const QByteArray &device = "inst0", bool lock = false, std::uint32_t lockTimeout = 0)
{
    return XdrWriter().int32(1).uint32(lock).uint32(lockTimeout).opaque(device).data();
}

QByteArray writeArgs(std::int32_t lid, const QByteArray &data, std::uint32_t flags = Vxi11::EndFlag, std::uint32_t lockTimeout = 0)
{
    return XdrWriter().int32(lid).uint32(1000).uint32(lockTimeout).uint32(flags).opaque(data).data();
}

QByteArray readArgs(std::int32_t lid, std::uint32_t size = 1024, std::uint32_t ioTimeout = 0, std::uint32_t flags = 0, char term = 0)
{
    return XdrWriter().int32(lid).uint32(size).uint32(ioTimeout).uint32(0).uint32(flags).int32(term).data();
}

QByteArray genericArgs(std::int32_t lid, std::uint32_t lockTimeout = 0)
{
    return XdrWriter().int32(lid).uint32(0).uint32(lockTimeout).uint32(1000).data();
}

QByteArray lockArgs(std::int32_t lid, std::uint32_t lockTimeout = 0)
{
    return XdrWriter().int32(lid).uint32(Vxi11::WaitLock).uint32(lockTimeout).data();
}

QByteArray lidArgs(std::int32_t lid)
{
    return XdrWriter().int32(lid).data();
}

// The link id of a new link, -1 when refused.
std::int32_t link(RpcTestClient &client)
{
    const auto reply = client.call(Core, 1, CreateLink, createLinkArgs());
    if (RpcTestClient::error(reply) != 0)
        return -1;
    XdrReader reader(reply->results);
    reader.int32();
    return reader.int32().value_or(-1);
}

// A device_read's reason and data.
std::pair<std::int32_t, QByteArray> readReply(const std::optional<Reply> &reply)
{
    if (RpcTestClient::error(reply) != 0)
        return {-1, {}};
    XdrReader reader(reply->results);
    reader.int32();
    const std::int32_t reason = reader.int32().value_or(-1);
    return {reason, reader.opaque(1 << 24).value_or(QByteArrayView()).toByteArray()};
}

QByteArray query(RpcTestClient &client, std::int32_t lid, const QByteArray &message)
{
    client.call(Core, 1, Write, writeArgs(lid, message));
    return readReply(client.call(Core, 1, Read, readArgs(lid))).second;
}

} // namespace

class Vxi11ServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rejections_data();
    void rejections();
    void procedures_data();
    void procedures();
    void messages_data();
    void messages();
    void statusAndClear();
    void locks_data();
    void locks();
    void lockGoesWithItsConnection();
    void abortEndsAHeldCall();
    void hostileStreams_data();
    void hostileStreams();
    void linksPerConnectionAreBounded();

private:
    TestDevice m_device;
    std::unique_ptr<ScpiCommandTree> m_tree;
    std::unique_ptr<ScpiScheduler> m_scheduler;
    std::unique_ptr<Vxi11Server> m_server;
};

void Vxi11ServerTest::init()
{
    m_device = {};
    m_tree = std::make_unique<ScpiCommandTree>(testTree(m_device));
    m_scheduler = std::make_unique<ScpiScheduler>();
    m_server = std::make_unique<Vxi11Server>(*m_tree, *m_scheduler);
    QVERIFY(m_server->listen(QHostAddress::LocalHost));
}

void Vxi11ServerTest::cleanup()
{
    m_server.reset();
    m_scheduler.reset();
    m_tree.reset();
}

void Vxi11ServerTest::rejections_data()
{
    QTest::addColumn<bool>("abortChannel");
    QTest::addColumn<uint>("program");
    QTest::addColumn<uint>("version");
    QTest::addColumn<uint>("procedure");
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<uint>("acceptStat");

    QTest::newRow("NULL") << false << Core << 1u << 0u << QByteArray() << 0u;
    QTest::newRow("unknown program") << false << 100000u << 1u << 0u << QByteArray() << 1u;
    QTest::newRow("abort program on the core port") << false << Vxi11::AbortProgram << 1u << 1u << lidArgs(1) << 1u;
    QTest::newRow("version 2") << false << Core << 2u << uint(CreateLink) << createLinkArgs() << 2u;
    QTest::newRow("unknown procedure") << false << Core << 1u << 99u << QByteArray() << 3u;
    QTest::newRow("create_link cut short") << false << Core << 1u << uint(CreateLink) << createLinkArgs().first(10) << 4u;
    QTest::newRow("device name longer than its record")
        << false << Core << 1u << uint(CreateLink) << XdrWriter().int32(1).uint32(0).uint32(0).uint32(500).data() + "inst0" << 4u;
    QTest::newRow("bool that is not one") << false << Core << 1u << uint(CreateLink) << createLinkArgs().replace(7, 1, "\x05") << 4u;
    QTest::newRow("write data longer than its record") << false << Core << 1u << uint(Write) << writeArgs(1, "*IDN?").chopped(8) << 4u;
    QTest::newRow("abort channel NULL") << true << Vxi11::AbortProgram << 1u << 0u << QByteArray() << 0u;
    QTest::newRow("core program on the abort port") << true << Core << 1u << uint(CreateLink) << createLinkArgs() << 1u;
    QTest::newRow("abort channel unknown procedure") << true << Vxi11::AbortProgram << 1u << 5u << QByteArray() << 3u;
}

void Vxi11ServerTest::rejections()
{
    QFETCH(bool, abortChannel);
    QFETCH(uint, program);
    QFETCH(uint, version);
    QFETCH(uint, procedure);
    QFETCH(QByteArray, arguments);
    QFETCH(uint, acceptStat);

    RpcTestClient client(abortChannel ? m_server->abortPort() : m_server->corePort());
    const auto reply = client.call(program, version, procedure, arguments);
    QVERIFY(reply);
    QCOMPARE(reply->replyStat, 0u);
    QCOMPARE(reply->acceptStat, acceptStat);
    if (acceptStat == 2) // the versions supported
        QCOMPARE(reply->results, XdrWriter().uint32(1).uint32(1).data());
    // The connection still serves.
    const auto null = client.call(abortChannel ? Vxi11::AbortProgram : Core, 1, 0, {});
    QVERIFY(null);
    QCOMPARE(null->acceptStat, 0u);
}

void Vxi11ServerTest::procedures_data()
{
    QTest::addColumn<uint>("procedure");
    QTest::addColumn<QByteArray>("arguments"); // the link made first is 1
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("resultSize");       // bytes after the error

    QTest::newRow("create_link, unknown device") << uint(CreateLink) << createLinkArgs("inst1") << 3 << 12;
    QTest::newRow("create_link, any case") << uint(CreateLink) << createLinkArgs("INST0") << 0 << 12;
    QTest::newRow("write to an unknown link") << uint(Write) << writeArgs(999, "*IDN?") << 4 << 4;
    QTest::newRow("readstb of an unknown link") << uint(ReadStb) << genericArgs(999) << 4 << 4;
    QTest::newRow("read, nothing queued") << uint(Read) << readArgs(1) << 15 << 8;
    QTest::newRow("read, nothing within 200 ms") << uint(Read) << readArgs(1, 1024, 200) << 15 << 8;
    QTest::newRow("trigger") << uint(Trigger) << genericArgs(1) << 0 << 0;
    QTest::newRow("remote") << uint(Remote) << genericArgs(1) << 0 << 0;
    QTest::newRow("local") << uint(Local) << genericArgs(1) << 0 << 0;
    QTest::newRow("unlock, no lock held") << uint(Unlock) << lidArgs(1) << 12 << 0;
    QTest::newRow("enable_srq") << uint(EnableSrq) << QByteArray() << 8 << 0;
    QTest::newRow("docmd") << uint(Docmd) << QByteArray() << 8 << 4;
    QTest::newRow("create_intr_chan") << uint(CreateIntrChan) << QByteArray() << 8 << 0;
    QTest::newRow("destroy_intr_chan") << uint(DestroyIntrChan) << QByteArray() << 8 << 0;
    QTest::newRow("destroy_link") << uint(DestroyLink) << lidArgs(1) << 0 << 0;
    QTest::newRow("destroy_link, unknown") << uint(DestroyLink) << lidArgs(2) << 4 << 0;
}

void Vxi11ServerTest::procedures()
{
    QFETCH(uint, procedure);
    QFETCH(QByteArray, arguments);
    QFETCH(int, error);
    QFETCH(int, resultSize);

    RpcTestClient client(m_server->corePort());
    QCOMPARE(link(client), 1);
    const auto reply = client.call(Core, 1, procedure, arguments);
    QCOMPARE(RpcTestClient::error(reply), error);
    QCOMPARE(reply->results.size(), 4 + resultSize);
    if (procedure == CreateLink && error == 0) {
        XdrReader reader(reply->results);
        reader.int32();
        QCOMPARE(reader.int32(), 2);
        QCOMPARE(reader.uint32(), m_server->abortPort());
        QCOMPARE(reader.uint32(), Vxi11Server::MaxRecvSize);
    }
}

void Vxi11ServerTest::messages_data()
{
    // Writes, each with END or not, then reads of requestSize with or
    // without LF as the termination character, each with its reason.
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QList<bool>>("ends");
    QTest::addColumn<uint>("requestSize");
    QTest::addColumn<bool>("termChar");
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<int>>("reasons");

    QTest::newRow("END, no LF") << QList<QByteArray>{"FREQ?"} << QList<bool>{true} << 1024u << false
                                << QList<QByteArray>{"1000\n"} << QList<int>{4};
    QTest::newRow("LF, no END") << QList<QByteArray>{"FREQ?\r\n"} << QList<bool>{false} << 1024u << false
                                << QList<QByteArray>{"1000\n"} << QList<int>{4};
    QTest::newRow("message in pieces") << QList<QByteArray>{"FREQ 2", "50;", ":FREQ?"} << QList<bool>{false, false, true}
                                       << 1024u << false << QList<QByteArray>{"250\n"} << QList<int>{4};
    QTest::newRow("longer than maxRecvSize") << QList<QByteArray>{"FREQ 3" + QByteArray(3000, ' '), ";FREQ?"}
                                             << QList<bool>{false, true} << 1024u << false << QList<QByteArray>{"3\n"}
                                             << QList<int>{4};
    QTest::newRow("request count") << QList<QByteArray>{"FREQ?"} << QList<bool>{true} << 3u << false
                                   << QList<QByteArray>{"100", "0\n"} << QList<int>{1, 4};
    QTest::newRow("two lines, termination character") << QList<QByteArray>{"FREQ?\nFREQ?"} << QList<bool>{true} << 1024u
                                                      << true << QList<QByteArray>{"1000\n", "1000\n"} << QList<int>{2, 6};
    QTest::newRow("overlong message dropped whole, in pieces")
        << QList<QByteArray>{"FREQ 5" + QByteArray(40000, ' '), QByteArray(40000, ' ') + ";FREQ?", "SYST:ERR?"}
        << QList<bool>{false, true, true} << 1024u << false
        << QList<QByteArray>{"-223,\"Too much data;message longer than 64 KiB discarded\"\n"} << QList<int>{4};
    QTest::newRow("unread response lost to the next message")
        << QList<QByteArray>{"FREQ?", "SYST:ERR?"} << QList<bool>{true, true} << 1024u << false
        << QList<QByteArray>{"-410,\"Query INTERRUPTED\"\n"} << QList<int>{4};
}

void Vxi11ServerTest::messages()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QList<bool>, ends);
    QFETCH(uint, requestSize);
    QFETCH(bool, termChar);
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<int>, reasons);

    RpcTestClient client(m_server->corePort());
    const std::int32_t lid = link(client);
    for (qsizetype i = 0; i < writes.size(); ++i) {
        const auto reply = client.call(Core, 1, Write, writeArgs(lid, writes[i], ends[i] ? std::uint32_t(Vxi11::EndFlag) : 0u));
        QCOMPARE(RpcTestClient::error(reply), 0);
        QCOMPARE(XdrReader(QByteArrayView(reply->results).sliced(4)).uint32(), std::uint32_t(writes[i].size()));
    }
    for (qsizetype i = 0; i < reads.size(); ++i) {
        const auto [reason, data] = readReply(
            client.call(Core, 1, Read, readArgs(lid, requestSize, 0, termChar ? std::uint32_t(Vxi11::TermCharSet) : 0u, '\n')));
        QCOMPARE(data, reads[i]);
        QCOMPARE(reason, reasons[i]);
    }
    QCOMPARE(RpcTestClient::error(client.call(Core, 1, Read, readArgs(lid))), 15);
}

void Vxi11ServerTest::statusAndClear()
{
    RpcTestClient client(m_server->corePort());
    RpcTestClient other(m_server->corePort());
    const std::int32_t lid = link(client);
    const std::int32_t otherLid = link(other);
    const auto statusByte = [](RpcTestClient &c, std::int32_t l) {
        const auto reply = c.call(Core, 1, ReadStb, genericArgs(l));
        return RpcTestClient::error(reply) == 0 ? int(XdrReader(QByteArrayView(reply->results).sliced(4)).uint32().value()) : -1;
    };
    client.call(Core, 1, Write, writeArgs(lid, "NOPE"));
    QCOMPARE(statusByte(client, lid), 0x04);       // error queue, this link only
    QCOMPARE(statusByte(other, otherLid), 0);
    client.call(Core, 1, Write, writeArgs(lid, "FREQ?"));
    QCOMPARE(statusByte(client, lid), 0x14);       // and a response waits
    QCOMPARE(RpcTestClient::error(client.call(Core, 1, Clear, genericArgs(lid))), 0);
    QCOMPARE(statusByte(client, lid), 0x04);
    QCOMPARE(RpcTestClient::error(client.call(Core, 1, Read, readArgs(lid))), 15);
    // A message cut off by the clear is gone too.
    client.call(Core, 1, Write, writeArgs(lid, "FREQ 77", 0));
    client.call(Core, 1, Clear, genericArgs(lid));
    QCOMPARE(query(client, lid, ";FREQ?"), QByteArray("1000\n"));
    QCOMPARE(query(client, lid, "SYST:ERR?"), QByteArray("-113,\"Undefined header;NOPE\"\n"));
}

void Vxi11ServerTest::locks_data()
{
    // The other link's call while the first holds the lock; the holder
    // unlocks after releaseMs (-1: never).
    QTest::addColumn<uint>("procedure");
    QTest::addColumn<uint>("lockTimeout");
    QTest::addColumn<int>("releaseMs");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("minWaitMs");

    QTest::newRow("write, no wait") << uint(Write) << 0u << -1 << 11 << 0;
    QTest::newRow("write waits, then 11") << uint(Write) << 300u << -1 << 11 << 280;
    QTest::newRow("write waits for the unlock") << uint(Write) << 5000u << 200 << 0 << 180;
    QTest::newRow("read waits, then 11") << uint(Read) << 300u << -1 << 11 << 280;
    QTest::newRow("readstb, no wait") << uint(ReadStb) << 0u << -1 << 11 << 0;
    QTest::newRow("clear waits, then 11") << uint(Clear) << 200u << -1 << 11 << 180;
    QTest::newRow("lock, no wait") << uint(Lock) << 0u << -1 << 11 << 0;
    QTest::newRow("lock waits for the unlock") << uint(Lock) << 5000u << 200 << 0 << 180;
    QTest::newRow("create_link with lock waits, then 11") << uint(CreateLink) << 300u << -1 << 11 << 280;
    QTest::newRow("unlock of a lock not held") << uint(Unlock) << 0u << -1 << 12 << 0;
}

void Vxi11ServerTest::locks()
{
    QFETCH(uint, procedure);
    QFETCH(uint, lockTimeout);
    QFETCH(int, releaseMs);
    QFETCH(int, error);
    QFETCH(int, minWaitMs);

    RpcTestClient holder(m_server->corePort());
    RpcTestClient other(m_server->corePort());
    const std::int32_t holderLid = link(holder);
    const std::int32_t lid = link(other);
    QCOMPARE(RpcTestClient::error(holder.call(Core, 1, Lock, lockArgs(holderLid))), 0);
    QCOMPARE(RpcTestClient::error(holder.call(Core, 1, Write, writeArgs(holderLid, "FREQ?"))), 0);

    QByteArray arguments;
    switch (procedure) {
    case Write: arguments = writeArgs(lid, "FREQ 5", Vxi11::EndFlag | Vxi11::WaitLock, lockTimeout); break;
    case Read: arguments = XdrWriter().int32(lid).uint32(64).uint32(0).uint32(lockTimeout).uint32(0).int32(0).data(); break;
    case Lock: arguments = lockArgs(lid, lockTimeout); break;
    case CreateLink: arguments = createLinkArgs("inst0", true, lockTimeout); break;
    case Unlock: arguments = lidArgs(lid); break;
    default: arguments = genericArgs(lid, lockTimeout); break;
    }
    if (releaseMs >= 0)
        QTimer::singleShot(releaseMs, [&] { holder.send(Core, 1, Unlock, lidArgs(holderLid)); });
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(RpcTestClient::error(other.call(Core, 1, procedure, arguments, 10000)), error);
    QVERIFY2(waited.elapsed() >= minWaitMs, qPrintable(QString::number(waited.elapsed())));
    QVERIFY(waited.elapsed() < minWaitMs + 3000);
    // The holder's link was never held up; its response is still there.
    if (releaseMs < 0)
        QCOMPARE(readReply(holder.call(Core, 1, Read, readArgs(holderLid))).second, QByteArray("1000\n"));
    QCOMPARE(m_device.frequency, error == 0 && procedure == Write ? 5.0 : 1000.0);
}

void Vxi11ServerTest::lockGoesWithItsConnection()
{
    QSignalSpy links(m_server.get(), &Vxi11Server::linkCountChanged);
    RpcTestClient other(m_server->corePort());
    const std::int32_t lid = link(other);
    {
        RpcTestClient holder(m_server->corePort());
        const std::int32_t holderLid = link(holder);
        QCOMPARE(m_server->linkCount(), 2);
        QCOMPARE(RpcTestClient::error(holder.call(Core, 1, Lock, lockArgs(holderLid))), 0);
        other.send(Core, 1, Lock, lockArgs(lid, 10000));
        QTest::qWait(100);
        holder.socket().abort(); // vanishes holding the lock
    }
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(RpcTestClient::error(other.receive(10000)), 0);
    QVERIFY(waited.elapsed() < 3000);
    QCOMPARE(m_server->linkCount(), 1);
    QCOMPARE(links.last().first().toInt(), 1);
}

void Vxi11ServerTest::abortEndsAHeldCall()
{
    RpcTestClient client(m_server->corePort());
    RpcTestClient abort(m_server->abortPort());
    const std::int32_t lid = link(client);
    client.send(Core, 1, Read, readArgs(lid, 1024, 20000));
    QTest::qWait(100);
    QCOMPARE(RpcTestClient::error(abort.call(Vxi11::AbortProgram, 1, 1, lidArgs(lid))), 0);
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(RpcTestClient::error(client.receive(5000)), 23);
    QVERIFY(waited.elapsed() < 3000);
    QCOMPARE(RpcTestClient::error(abort.call(Vxi11::AbortProgram, 1, 1, lidArgs(999))), 4);
    // The link goes on.
    QCOMPARE(query(client, lid, "FREQ?"), QByteArray("1000\n"));
}

void Vxi11ServerTest::hostileStreams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("repeat");

    QTest::newRow("record mark of 2 GiB") << QByteArray("\xFF\xFF\xFF\xF0", 4) << 1;
    QTest::newRow("endless fragments") << QByteArray("\x00\x01\x00\x00", 4) + QByteArray(65536, 'x') << 20;
    QTest::newRow("garbage that is no call") << QByteArray("\x80\x00\x00\x04zzzz", 8) << 1000;
}

void Vxi11ServerTest::hostileStreams()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, repeat);

    RpcTestClient other(m_server->corePort());
    const std::int32_t lid = link(other);
    RpcTestClient hostile(m_server->corePort());
    for (int i = 0; i < repeat && hostile.connected(); ++i) {
        hostile.socket().write(stream);
        QTest::qWait(1);
    }
    // Others are served all along.
    QCOMPARE(query(other, lid, "FREQ?"), QByteArray("1000\n"));
    if (stream.startsWith("\x80"))
        QVERIFY(hostile.connected()); // records that are no call get no answer
    else
        QTRY_VERIFY(!hostile.connected());
}

void Vxi11ServerTest::linksPerConnectionAreBounded()
{
    RpcTestClient greedy(m_server->corePort());
    int made = 0;
    int refused = 0;
    for (int i = 0; i < 100; ++i) {
        const auto reply = greedy.call(Core, 1, CreateLink, createLinkArgs());
        const std::int32_t error = RpcTestClient::error(reply);
        made += error == 0;
        refused += error == 9;
    }
    QCOMPARE(made, Vxi11Server::MaxLinksPerConnection);
    QCOMPARE(refused, 100 - made);
    RpcTestClient other(m_server->corePort());
    QVERIFY(link(other) > 0);
}

QTEST_GUILESS_MAIN(Vxi11ServerTest)
#include "tst_vxi11server.moc"
