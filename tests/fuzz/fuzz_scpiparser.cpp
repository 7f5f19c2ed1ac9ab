// Any bytes as lines sent to the SCPI layer of a small instrument: every
// answer is one line, the error queue stays bounded, and the instrument's
// values stay within their declared bounds.
#include "../remote/TestTree.h"

#include "scpi/ScpiSession.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TestDevice device;
    const ScpiCommandTree tree = testTree(device);
    ScpiSession session(tree);
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &line : input.split('\n')) {
        const QByteArray answer = session.execute(line);
        if (!answer.isEmpty()) {
            check(answer.endsWith('\n'));
            check(answer.indexOf('\n') == answer.size() - 1);
        }
        check(session.errorCount() <= ScpiSession::MaxErrors);
    }
    check(device.frequency >= 0 && device.frequency <= 1e6);
    check(device.points >= 0 && device.points <= 4095 && device.points == double(qint64(device.points)));
    check(device.voltage >= -4 && device.voltage <= 4);
    check(device.shape >= 0 && device.shape <= 2);

    // Every queued error reads back as one well-formed entry.
    while (session.errorCount() > 0) {
        const QByteArray entry = session.execute("SYST:ERR?");
        check(entry.startsWith('-') && entry.endsWith("\"\n") && entry.count('\n') == 1);
    }
    check(session.execute("SYST:ERR?") == "0,\"No error\"\n");
    return 0;
}
