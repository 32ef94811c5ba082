// ChunkedDecoder on any bytes, cut into pieces anywhere (Pieces.h). Its status
// never goes back to More once Done or Error, and nothing more is decoded
// after it; it never puts out more bytes than it was given; and the cutting
// changes nothing: the same bytes in one piece end in the same status with the
// same output and, when Done, stop at the same byte, just after a CR LF.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "Pieces.h"
#include "net/ChunkedDecoder.h"

using Status = ChunkedDecoder::Status;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Pieces pieces = cutInput(data, size);

    std::string cut;
    ChunkedDecoder decoder([&cut](const char* bytes, size_t count) { cut.append(bytes, count); });
    Status status = Status::More;
    size_t at = 0;  // where the current piece starts in the stream
    size_t end = 0; // where Done was reached
    for (size_t piece : pieces.sizes) {
        const size_t before = cut.size();
        const Status now = decoder.feed(pieces.data + at, piece);
        QF_FUZZ_CHECK(now == decoder.status(), "feed gave %d, status() %d", static_cast<int>(now),
                      static_cast<int>(decoder.status()));
        QF_FUZZ_CHECK(status == Status::More || now == status, "status %d after %d at byte %zu",
                      static_cast<int>(now), static_cast<int>(status), at);
        QF_FUZZ_CHECK(status == Status::More || cut.size() == before, "%zu bytes put out after the end at byte %zu",
                      cut.size() - before, at);
        if (status == Status::More && now == Status::Done) {
            QF_FUZZ_CHECK(decoder.consumed() <= piece, "consumed %zu of a piece of %zu", decoder.consumed(), piece);
            end = at + decoder.consumed();
        }
        status = now;
        at += piece;
        QF_FUZZ_CHECK(cut.size() <= at, "%zu bytes put out for %zu taken", cut.size(), at);
    }

    std::string whole;
    ChunkedDecoder once([&whole](const char* bytes, size_t count) { whole.append(bytes, count); });
    const Status onceStatus = once.feed(pieces.data, pieces.size);
    QF_FUZZ_CHECK(onceStatus == status, "status %d in one piece, %d in %zu pieces", static_cast<int>(onceStatus),
                  static_cast<int>(status), pieces.sizes.size());
    QF_FUZZ_CHECK(whole == cut, "%zu bytes put out in one piece, %zu in %zu pieces", whole.size(), cut.size(),
                  pieces.sizes.size());
    if (status == Status::Done) {
        QF_FUZZ_CHECK(once.consumed() == end, "Done at byte %zu in one piece, %zu in pieces", once.consumed(), end);
        QF_FUZZ_CHECK(end >= 5 && pieces.data[end - 2] == '\r' && pieces.data[end - 1] == '\n',
                      "Done at byte %zu, not after a CR LF", end);
    }
    return 0;
}
