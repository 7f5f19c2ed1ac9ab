// Any bytes as the stream of one HTTP connection, cut into pieces at the
// places the first byte chooses: every request taken is within the limits,
// the parser never holds more than its limits allow, a failure has one of
// its statuses, and pieces parse as the whole does.
#include "web/HttpRequestParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct Outcome
{
    QList<HttpRequest> requests;
    int status = 0;
};

Outcome parse(QByteArrayView input, qsizetype piece)
{
    Outcome outcome;
    HttpRequestParser parser;
    for (qsizetype at = 0; at < input.size(); at += piece) {
        HttpRequestParser::State state = parser.feed(input.sliced(at, qMin(piece, input.size() - at)));
        while (state == HttpRequestParser::State::Complete) {
            HttpRequest request = parser.takeRequest();
            check(request.body.size() <= HttpRequestParser::MaxBodyBytes);
            check(request.path.startsWith('/'));
            check(request.minorVersion == 0 || request.minorVersion == 1);
            check(request.headers.size() <= HttpRequestParser::MaxHeaderFields);
            outcome.requests.append(std::move(request));
            state = parser.feed({});
        }
        // Whatever waits is less than a head, a chunk line and a piece.
        check(parser.bufferedBytes() <= HttpRequestParser::MaxHeaderBytes + 1024 + piece);
        if (state == HttpRequestParser::State::Failed) {
            outcome.status = parser.errorStatus();
            const int s = outcome.status;
            check(s == 400 || s == 413 || s == 431 || s == 501 || s == 505);
            break;
        }
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype piece = 1 + data[0] % 64;
    const QByteArrayView input(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const Outcome whole = parse(input, qMax<qsizetype>(1, input.size()));
    const Outcome pieces = parse(input, piece);
    check(whole.status == pieces.status);
    check(whole.requests.size() == pieces.requests.size());
    for (qsizetype i = 0; i < whole.requests.size(); ++i) {
        check(whole.requests[i].path == pieces.requests[i].path);
        check(whole.requests[i].body == pieces.requests[i].body);
        check(whole.requests[i].headers == pieces.requests[i].headers);
    }
    return 0;
}
