#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

// ONC RPC version 2 messages (RFC 5531): a call's header read from a whole
// record, and the replies a server sends.
struct RpcCall
{
    std::uint32_t xid = 0;
    std::uint32_t program = 0;
    std::uint32_t version = 0;
    std::uint32_t procedure = 0;
    bool rpcVersionOk = true; // false: only an RPC_MISMATCH reply fits
    QByteArrayView arguments; // what follows the header, in the record
};

namespace Rpc {

// Credentials and verifiers carry at most this much (RFC 5531).
inline constexpr std::uint32_t MaxAuthSize = 400;

// The header of a call, or nothing when the record is no call at all (too
// short, a reply, bad credentials): such records get no answer.
std::optional<RpcCall> parseCall(QByteArrayView record);

// A call with AUTH_NONE, as clients send it.
QByteArray call(std::uint32_t xid, std::uint32_t program, std::uint32_t version, std::uint32_t procedure,
                QByteArrayView arguments);

// Accepted replies.
QByteArray success(std::uint32_t xid, QByteArrayView results);
QByteArray programUnavailable(std::uint32_t xid);
QByteArray programMismatch(std::uint32_t xid, std::uint32_t low, std::uint32_t high);
QByteArray procedureUnavailable(std::uint32_t xid);
QByteArray garbageArguments(std::uint32_t xid);
// Denied: the caller speaks another RPC version.
QByteArray rpcMismatch(std::uint32_t xid);

} // namespace Rpc
