#include "net/ChunkedDecoder.h"

#include <algorithm>

namespace {

// A chunk size of more hex digits could not be counted in 64 bits.
constexpr int kMostSizeDigits = 15;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

ChunkedDecoder::Status ChunkedDecoder::feed(const char* data, size_t size)
{
    size_t at = 0;
    while (at < size && status_ == Status::More) {
        if (state_ == State::Data) {
            // Chunk data goes out in runs, not byte by byte.
            const size_t run = static_cast<size_t>(std::min<uint64_t>(remaining_, size - at));
            sink_(data + at, run);
            at += run;
            remaining_ -= run;
            if (remaining_ == 0)
                state_ = State::DataCr;
            continue;
        }
        status_ = step(data[at++]);
    }
    consumed_ = at;
    return status_;
}

ChunkedDecoder::Status ChunkedDecoder::step(char c)
{
    switch (state_) {
    case State::Size: {
        const int value = hexValue(c);
        if (value >= 0) {
            if (++digits_ > kMostSizeDigits)
                return Status::Error;
            remaining_ = remaining_ * 16 + static_cast<uint64_t>(value);
            return Status::More;
        }
        if (digits_ == 0)
            return Status::Error;
        if (c == ';' || c == ' ' || c == '\t') {
            state_ = State::Extension;
            return Status::More;
        }
        if (c != '\r')
            return Status::Error;
        state_ = State::SizeLf;
        return Status::More;
    }
    case State::Extension:
        if (c == '\r')
            state_ = State::SizeLf;
        else if (c == '\n')
            return Status::Error;
        return Status::More;
    case State::SizeLf:
        if (c != '\n')
            return Status::Error;
        digits_ = 0;
        state_ = remaining_ == 0 ? State::Trailer : State::Data;
        return Status::More;
    case State::DataCr:
        if (c != '\r')
            return Status::Error;
        state_ = State::DataLf;
        return Status::More;
    case State::DataLf:
        if (c != '\n')
            return Status::Error;
        state_ = State::Size;
        return Status::More;
    case State::Trailer: // at the start of a trailer line: CR ends the body
        state_ = c == '\r' ? State::LastLf : State::TrailerLine;
        return Status::More;
    case State::TrailerLine:
        if (c == '\r')
            state_ = State::TrailerLf;
        return Status::More;
    case State::TrailerLf:
        if (c != '\n')
            return Status::Error;
        state_ = State::Trailer;
        return Status::More;
    case State::LastLf:
        return c == '\n' ? Status::Done : Status::Error;
    case State::Data:
        break;
    }
    return Status::Error;
}
