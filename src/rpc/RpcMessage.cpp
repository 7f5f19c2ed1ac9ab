#include "rpc/RpcMessage.h"

#include "rpc/Xdr.h"

namespace {

enum : std::uint32_t
{
    Call = 0,
    Reply = 1,
    MsgAccepted = 0,
    MsgDenied = 1,
    Success = 0,
    ProgUnavail = 1,
    ProgMismatch = 2,
    ProcUnavail = 3,
    GarbageArgs = 4,
    RpcMismatch = 0,
    AuthNone = 0,
};

XdrWriter accepted(std::uint32_t xid, std::uint32_t status)
{
    XdrWriter writer;
    writer.uint32(xid).uint32(Reply).uint32(MsgAccepted).uint32(AuthNone).uint32(0).uint32(status);
    return writer;
}

} // namespace

namespace Rpc {

std::optional<RpcCall> parseCall(QByteArrayView record)
{
    XdrReader reader(record);
    RpcCall call;
    const auto xid = reader.uint32();
    const auto type = reader.uint32();
    const auto rpcVersion = reader.uint32();
    if (!xid || !type || !rpcVersion || *type != Call)
        return std::nullopt;
    call.xid = *xid;
    if (*rpcVersion != 2) {
        call.rpcVersionOk = false;
        return call;
    }
    const auto program = reader.uint32();
    const auto version = reader.uint32();
    const auto procedure = reader.uint32();
    reader.uint32(); // the credential's flavour: any is accepted
    reader.opaque(MaxAuthSize);
    reader.uint32(); // the verifier's
    reader.opaque(MaxAuthSize);
    if (reader.failed())
        return std::nullopt;
    call.program = *program;
    call.version = *version;
    call.procedure = *procedure;
    call.arguments = reader.rest();
    return call;
}

QByteArray call(std::uint32_t xid, std::uint32_t program, std::uint32_t version, std::uint32_t procedure,
                QByteArrayView arguments)
{
    XdrWriter writer;
    writer.uint32(xid).uint32(Call).uint32(2).uint32(program).uint32(version).uint32(procedure);
    writer.uint32(AuthNone).uint32(0).uint32(AuthNone).uint32(0);
    QByteArray message = writer.data();
    message.append(arguments);
    return message;
}

QByteArray success(std::uint32_t xid, QByteArrayView results)
{
    QByteArray reply = accepted(xid, Success).data();
    reply.append(results);
    return reply;
}

QByteArray programUnavailable(std::uint32_t xid)
{
    return accepted(xid, ProgUnavail).data();
}

QByteArray programMismatch(std::uint32_t xid, std::uint32_t low, std::uint32_t high)
{
    return accepted(xid, ProgMismatch).uint32(low).uint32(high).data();
}

QByteArray procedureUnavailable(std::uint32_t xid)
{
    return accepted(xid, ProcUnavail).data();
}

QByteArray garbageArguments(std::uint32_t xid)
{
    return accepted(xid, GarbageArgs).data();
}

QByteArray rpcMismatch(std::uint32_t xid)
{
    XdrWriter writer;
    writer.uint32(xid).uint32(Reply).uint32(MsgDenied).uint32(RpcMismatch).uint32(2).uint32(2);
    return writer.data();
}

} // namespace Rpc
