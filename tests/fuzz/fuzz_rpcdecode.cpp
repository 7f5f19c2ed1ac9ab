// The VXI-11 stream's decoders on arbitrary bytes: record marking with a
// small limit, in the chunk sizes the first byte picks, then every record as
// an RPC call whose arguments are read in each of the procedures' layouts.
#include "rpc/RpcMessage.h"
#include "rpc/Xdr.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void readArguments(QByteArrayView arguments)
{
    // create_link, device_write, device_read, the generic layout.
    {
        XdrReader reader(arguments);
        reader.int32();
        reader.boolean();
        reader.uint32();
        reader.opaque(256);
    }
    {
        XdrReader reader(arguments);
        for (int i = 0; i < 4; ++i)
            reader.uint32();
        if (const auto data = reader.opaque(1 << 20); data && data->size() > arguments.size())
            std::abort();
    }
    XdrReader reader(arguments);
    while (reader.uint32())
        ;
    if (!reader.failed() || reader.remaining() >= 4)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype chunk = 1 + data[0] % 64;
    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    constexpr qsizetype Limit = 4096;
    RecordAssembler assembler(Limit);
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        if (!assembler.feed(stream.sliced(at, std::min(chunk, stream.size() - at))))
            break;
        // Memory stays within what the limit and one chunk allow.
        if (assembler.buffered() > 2 * Limit + stream.size())
            std::abort();
        while (const auto record = assembler.takeRecord()) {
            if (record->size() > Limit)
                std::abort();
            if (const auto call = Rpc::parseCall(*record))
                readArguments(call->arguments);
        }
    }
    return 0;
}
