#pragma once

#include "rpc/RpcMessage.h"
#include "rpc/Xdr.h"

#include <QTcpSocket>
#include <QTest>

#include <optional>

// An ONC RPC client for the tests: one call at a time over a Qt socket,
// waiting on the event loop, so a server in the same thread keeps running.
class RpcTestClient
{
public:
    struct Reply
    {
        std::uint32_t xid = 0;
        std::uint32_t replyStat = 0;  // 0 accepted, 1 denied
        std::uint32_t acceptStat = 0; // 0 success, 1..4 the rejections
        QByteArray results;           // after the header
    };

    explicit RpcTestClient(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        (void)QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 5000);
    }

    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QTcpSocket &socket() { return m_socket; }

    void send(std::uint32_t program, std::uint32_t version, std::uint32_t procedure, const QByteArray &arguments)
    {
        m_socket.write(RecordAssembler::frame(Rpc::call(++m_xid, program, version, procedure, arguments)));
    }

    // The next reply, if one comes within timeoutMs.
    std::optional<Reply> receive(int timeoutMs = 5000)
    {
        std::optional<QByteArray> record;
        (void)QTest::qWaitFor([&] {
            m_records.feed(m_socket.readAll());
            record = m_records.takeRecord();
            return record.has_value() || m_socket.state() != QAbstractSocket::ConnectedState;
        }, timeoutMs);
        if (!record)
            return std::nullopt;
        XdrReader reader(*record);
        Reply reply;
        reply.xid = reader.uint32().value_or(0);
        reader.uint32(); // REPLY
        reply.replyStat = reader.uint32().value_or(9);
        if (reply.replyStat == 0) {
            reader.uint32(); // verifier
            reader.opaque(400);
            reply.acceptStat = reader.uint32().value_or(9);
        }
        reply.results = reader.rest().toByteArray();
        return reply;
    }

    std::optional<Reply> call(std::uint32_t program, std::uint32_t version, std::uint32_t procedure,
                              const QByteArray &arguments, int timeoutMs = 5000)
    {
        send(program, version, procedure, arguments);
        return receive(timeoutMs);
    }

    // The first result word (the VXI-11 error) of a successful call; -1 otherwise.
    static std::int32_t error(const std::optional<Reply> &reply)
    {
        if (!reply || reply->replyStat != 0 || reply->acceptStat != 0)
            return -1;
        return XdrReader(reply->results).int32().value_or(-1);
    }

private:
    QTcpSocket m_socket;
    RecordAssembler m_records{16 * 1024 * 1024};
    std::uint32_t m_xid = 0;
};
