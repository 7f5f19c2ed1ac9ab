// Round trips of the SCPI server on loopback, beside the same client against
// a server that only echoes each line (the floor of this machine's sockets
// and event loop).
//
//   remote_bench                 server and echo in a thread of this process,
//                                on the instrument with the stand-in module
//   remote_bench --port N        the same client against a running program
//                                (g740demo --headless --remote 0)
//
// Figures: *IDN? per second with 1000 queries in flight, the median of single
// *IDN? round trips, and the median of setting every field of the record in
// one line and reading all of them back in the next. Then the same
// instrument over VXI-11 (device_write + device_read per query) beside the
// socket: median *IDN?, sequential queries per second, whole record.

#include "instrument/Instrument.h"
#include "rpc/RpcMessage.h"
#include "lan/Vxi11Server.h"
#include "rpc/Xdr.h"
#include "remote/G740Commands.h"
#include "scpi/ScpiServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string SetRecord =
    "SWE:ADV AUTO;CYCL NONE;:VOLT:OFFS:SOUR INT;:ROSC:SOUR EXT;EXT:FREQ 20 MHZ;:FREQ:STAR 1.5 KHZ;STEP -20 HZ;"
    ":SWE:STEP 4000;DWEL:BASE OUTP;MULT 500;COUN 2000;:SWE:ADV CTRL;:LINE:CTRL EXT;INT EXT;:OUTP:SQU ON;SYNC ON;"
    "SYNC:MODE STEP;:FUNC TRI;:VOLT:GAIN -24;OFFS -3.5;OFFS:SOUR EXT\n";
const std::string QueryRecord =
    "ROSC:SOUR?;EXT:FREQ?;:FREQ:STAR:DES?;:FREQ:STAR?;STEP:DES?;:FREQ:STEP?;STOP?;:SWE:STEP?;DWEL:BASE?;MULT?;COUN?;"
    ":SWE:DWEL?;:SWE:ADV?;CYCL?;:LINE:CTRL?;INT?;:OUTP:SQU?;SYNC?;SYNC:MODE?;:FUNC?;:VOLT:GAIN?;OFFS:DES?;:VOLT:OFFS?;"
    "OFFS:SOUR?;:VOLT:AMPL:OHM10?;OHM10:DB?;:VOLT:AMPL:OHM50?;OHM50:DB?;:OUTP?\n";

// A line echoed back as it came.
class EchoServer : public QTcpServer
{
public:
    EchoServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    while (socket->canReadLine())
                        socket->write(socket->readLine());
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
};

// The servers on an event loop of their own, as the program runs them.
class ServerThread : public QThread
{
public:
    quint16 scpiPort = 0;
    quint16 echoPort = 0;
    quint16 vxi11Port = 0;
    QSemaphore ready;

protected:
    void run() override
    {
        Instrument instrument;
        if (const InstrumentOutcome failed = instrument.detect())
            std::fprintf(stderr, "detection: %s\n", qPrintable(failed->text));
        const ScpiCommandTree tree = g740CommandTree(instrument);
        ScpiServer server(tree);
        server.listen();
        EchoServer echo;
        echo.listen(QHostAddress(QHostAddress::LocalHost), 0);
        Vxi11Server vxi11(tree, server.scheduler());
        vxi11.listen(QHostAddress::LocalHost);
        scpiPort = server.serverPort();
        echoPort = echo.serverPort();
        vxi11Port = vxi11.corePort();
        ready.release();
        exec();
    }
};

// A blocking client on a plain socket, so the client costs next to nothing.
class Client
{
public:
    explicit Client(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            std::perror("connect");
            std::exit(1);
        }
    }
    ~Client() { ::close(m_fd); }

    void send(const std::string &text)
    {
        for (std::size_t sent = 0; sent < text.size();) {
            const ssize_t n = ::write(m_fd, text.data() + sent, text.size() - sent);
            if (n <= 0) {
                std::perror("write");
                std::exit(1);
            }
            sent += std::size_t(n);
        }
    }

    // Exactly size bytes.
    std::string read(std::size_t size)
    {
        while (m_buffer.size() - m_start < size) {
            m_buffer.erase(0, m_start);
            m_start = 0;
            fill();
        }
        std::string bytes = m_buffer.substr(m_start, size);
        m_start += size;
        return bytes;
    }

    std::string readLine()
    {
        for (;;) {
            const std::size_t end = m_buffer.find('\n', m_start);
            if (end != std::string::npos) {
                std::string line = m_buffer.substr(m_start, end - m_start);
                m_start = end + 1;
                return line;
            }
            m_buffer.erase(0, m_start);
            m_start = 0;
            fill();
        }
    }

private:
    void fill()
    {
        char chunk[65536];
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n <= 0) {
            std::fprintf(stderr, "connection closed\n");
            std::exit(1);
        }
        m_buffer.append(chunk, std::size_t(n));
    }

    int m_fd;
    std::string m_buffer;
    std::size_t m_start = 0;
};

// One VXI-11 link over the blocking socket: each query a device_write and a
// device_read, as VISA libraries do it.
class Vxi11Client
{
public:
    explicit Vxi11Client(quint16 port) : m_client(port)
    {
        const QByteArray results = call(10, XdrWriter().int32(1).uint32(0).uint32(0).opaque("inst0").data());
        XdrReader reader(results);
        reader.int32();
        m_lid = reader.int32().value_or(0);
    }

    void write(const std::string &message)
    {
        call(11, XdrWriter().int32(m_lid).uint32(1000).uint32(0).uint32(8).opaque(QByteArrayView(message)).data());
    }

    std::string query(const std::string &message)
    {
        write(message);
        XdrReader reader(call(12, XdrWriter().int32(m_lid).uint32(1 << 20).uint32(1000).uint32(0).uint32(0).int32(0).data()));
        reader.int32();
        reader.int32();
        return reader.opaque(1 << 20).value_or(QByteArrayView()).toByteArray().toStdString();
    }

private:
    // The results of a procedure (past the reply header of an accepted call).
    QByteArray call(std::uint32_t procedure, const QByteArray &arguments)
    {
        const QByteArray framed = RecordAssembler::frame(Rpc::call(++m_xid, Vxi11::CoreProgram, 1, procedure, arguments));
        m_client.send(framed.toStdString());
        const std::string mark = m_client.read(4);
        const std::uint32_t length = (std::uint32_t(std::uint8_t(mark[0]) & 0x7F) << 24) | (std::uint32_t(std::uint8_t(mark[1])) << 16)
                                     | (std::uint32_t(std::uint8_t(mark[2])) << 8) | std::uint8_t(mark[3]);
        const std::string reply = m_client.read(length);
        return QByteArray(reply.data() + 24, qsizetype(reply.size()) - 24);
    }

    Client m_client;
    std::uint32_t m_xid = 0;
    std::int32_t m_lid = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double pipelinedPerSecond(Client &client, const std::string &line, int total, int inFlight)
{
    std::string batch;
    for (int i = 0; i < inFlight; ++i)
        batch += line;
    QElapsedTimer timer;
    timer.start();
    for (int done = 0; done < total; done += inFlight) {
        client.send(batch);
        for (int i = 0; i < inFlight; ++i)
            client.readLine();
    }
    return total / (double(timer.nsecsElapsed()) / 1e9);
}

double medianRoundTripMs(Client &client, const std::vector<std::string> &lines, int runs, bool expectAnswer)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        for (const std::string &line : lines) {
            client.send(line);
            if (expectAnswer || line.find('?') != std::string::npos)
                client.readLine();
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void measure(const char *name, quint16 port, bool echo)
{
    Client client(port);
    const std::string idn = "*IDN?\n";
    client.send(idn);
    const std::string identity = client.readLine();
    medianRoundTripMs(client, {idn}, 2000, true); // warm up
    const double perSecond = pipelinedPerSecond(client, idn, 200000, 1000);
    const double single = medianRoundTripMs(client, {idn}, 20000, true);
    // The echo answers the set line too; the instrument answers only the query.
    const double record = medianRoundTripMs(client, {SetRecord, QueryRecord}, 2000, echo);
    std::printf("%-28s %10.0f *IDN?/s pipelined   median *IDN? %.3f ms   whole record set+query %.3f ms\n", name,
                perSecond, single, record);
    if (!echo) {
        client.send(QueryRecord);
        const std::string record = client.readLine();
        client.send("SYST:ERR:COUN?\n");
        std::printf("  %s\n  record: %s\n  errors queued: %s\n", identity.c_str(), record.c_str(),
                    client.readLine().c_str());
    }
}

// Single *IDN? round trips over the socket and over VXI-11, alternating so
// both see the same machine; then VXI-11's sequential rate and whole record.
void compareVxi11(quint16 scpiPort, quint16 vxi11Port)
{
    Client raw(scpiPort);
    Vxi11Client vxi(vxi11Port);
    const std::string idn = "*IDN?\n";
    std::vector<double> rawTimes;
    std::vector<double> vxiTimes;
    for (int i = 0; i < 20000; ++i) {
        QElapsedTimer timer;
        timer.start();
        raw.send(idn);
        raw.readLine();
        rawTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        vxi.query(idn);
        vxiTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const int sequential = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < sequential; ++i)
        vxi.query(idn);
    const double perSecond = sequential / (double(timer.nsecsElapsed()) / 1e9);
    std::vector<double> record;
    for (int i = 0; i < 2000; ++i) {
        timer.restart();
        vxi.write(SetRecord);
        vxi.query(QueryRecord);
        record.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("VXI-11 beside the socket: median *IDN? %.3f ms (socket %.3f ms, ratio %.2f)   %.0f sequential queries/s   "
                "whole record set+query %.3f ms\n",
                median(vxiTimes), median(rawTimes), median(vxiTimes) / median(rawTimes), perSecond, median(record));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype portOption = arguments.indexOf(QStringLiteral("--port"));
    if (portOption > 0 && portOption + 1 < arguments.size()) {
        measure("running program", quint16(arguments[portOption + 1].toUInt()), false);
        return 0;
    }

    ServerThread servers;
    servers.start();
    servers.ready.acquire();
    measure("echo server (floor)", servers.echoPort, true);
    measure("SCPI server", servers.scpiPort, false);
    compareVxi11(servers.scpiPort, servers.vxi11Port);
    servers.quit();
    servers.wait();
    return 0;
}
