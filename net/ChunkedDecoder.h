#pragma once
// Reads a body in HTTP/1.1 chunked transfer coding as it arrives, in pieces
// cut anywhere: size lines in hex (extensions skipped), the chunk data, the
// CR LF after it, then the zero chunk and its trailer lines (skipped).
// Portable: no sockets here.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class ChunkedDecoder {
public:
    enum class Status { More, Done, Error };
    using Sink = std::function<void(const char* data, size_t size)>;

    explicit ChunkedDecoder(Sink sink) : sink_(std::move(sink)) {}

    // Takes the next piece; bytes after the final CR LF are not read.
    // Error: a size that is not hex or overflows, or a line that breaks the form.
    Status feed(const char* data, size_t size);
    // Where feed's last call stopped in its piece, when Done.
    size_t consumed() const { return consumed_; }
    Status status() const { return status_; }

private:
    enum class State { Size, Extension, SizeLf, Data, DataCr, DataLf, Trailer, TrailerLf, TrailerLine, LastLf };
    Status step(char c);

    Sink sink_;
    State state_ = State::Size;
    Status status_ = Status::More;
    uint64_t remaining_ = 0; // of the current chunk's data
    int digits_ = 0;         // hex digits read of the current size
    size_t consumed_ = 0;
};
