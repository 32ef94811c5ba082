// HttpBody on an answer's head (up to and with its empty line) and the bytes
// after it, cut into pieces anywhere (Pieces.h); of the first byte's other
// bits, one says whether the connection ends cleanly and one sets a cap of a
// few hundred bytes instead of 1 MiB, so that plain bodies reach it too.
// Only RSS::RSSException and its derived types may leave the reader: anything
// else reaches std::terminate, which libFuzzer takes for a crash. The body
// never outgrows the cap, and once take has read the framing's end it keeps
// saying so and the body no longer changes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "Pieces.h"
#include "base/RSSException.h"
#include "net/HttpBody.h"

namespace {

constexpr size_t kLargeCap = 1024 * 1024;
constexpr size_t kSmallCap = 300;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Pieces pieces = cutInput(data, size);
    const bool cleanEnd = (pieces.flags & 1) != 0;
    const size_t cap = (pieces.flags & 2) != 0 ? kSmallCap : kLargeCap;

    const std::string stream(pieces.data, pieces.size);
    const size_t emptyLine = stream.find("\r\n\r\n");
    const size_t headSize = emptyLine == std::string::npos ? stream.size() : emptyLine + 4;
    const std::string head = stream.substr(0, headSize);

    std::string body;
    try {
        HttpBody reader(head, cap, body);
        bool ended = false;
        size_t at = 0;
        for (size_t piece : pieces.sizes) {
            // The head's bytes were the head's pieces; the body's begin after it.
            const size_t from = std::max(at, headSize);
            at += piece;
            if (at <= headSize)
                continue;
            const size_t before = body.size();
            const bool now = reader.take(stream.data() + from, at - from);
            QF_FUZZ_CHECK(!ended || now, "take of %zu bytes at byte %zu no longer at the end", at - from, from);
            QF_FUZZ_CHECK(!ended || body.size() == before, "the body grew by %zu bytes after its end",
                          body.size() - before);
            QF_FUZZ_CHECK(body.size() <= cap, "body of %zu bytes, cap %zu", body.size(), cap);
            ended = now;
        }
        reader.finish(cleanEnd);
    } catch (const RSS::RSSException&) {
    }
    QF_FUZZ_CHECK(body.size() <= cap, "body of %zu bytes, cap %zu", body.size(), cap);
    return 0;
}
