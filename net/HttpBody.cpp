#include "net/HttpBody.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/RSSException.h"
#include "net/HttpAnswer.h"

namespace {

// Chunked when it is the last coding named: then it alone frames the body.
bool lastCodingIsChunked(const std::string& transferEncoding)
{
    const size_t comma = transferEncoding.rfind(',');
    const size_t last = comma == std::string::npos ? 0 : comma + 1;
    return HttpMessage::listItem(transferEncoding, last, transferEncoding.size()) == "chunked";
}

// Every Content-Length value (lines, or lists in one line) must say the same
// number; a value that is no number is not a length, as before.
bool announcedLength(const std::string& head, uint64_t& length)
{
    constexpr uint64_t kLargest = UINT64_MAX / 10 - 9;
    bool found = false;
    for (const std::string& line : HttpMessage::headerValues(head, "content-length")) {
        for (size_t from = 0; from <= line.size();) {
            size_t to = line.find(',', from);
            if (to == std::string::npos)
                to = line.size();
            const std::string value = HttpMessage::listItem(line, from, to);
            from = to + 1;
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
                continue;
            uint64_t number = 0;
            for (char digit : value)
                number = number > kLargest ? UINT64_MAX : number * 10 + static_cast<uint64_t>(digit - '0');
            if (found && number != length)
                throw RSS::RSSException(L"Answer with two different lengths");
            length = number;
            found = true;
        }
    }
    return found;
}

} // namespace

HttpBody::HttpBody(const std::string& head, size_t maxBytes, std::string& body) : body_(body), maxBytes_(maxBytes)
{
    decoder_ = ContentDecoder::forCodings(HttpMessage::headerValue(head, "content-encoding"),
                                          [this](const char* data, size_t size) { decoded(data, size); });
    if (lastCodingIsChunked(HttpMessage::headerValue(head, "transfer-encoding"))) {
        framing_ = Framing::Chunked;
        chunks_ = std::make_unique<ChunkedDecoder>([this](const char* data, size_t size) { framed(data, size); });
    } else if (announcedLength(head, remaining_)) {
        framing_ = Framing::Length;
        ended_ = remaining_ == 0;
        if (!decoder_) // room at once for what is announced, within the cap, rather than by doubling
            body_.reserve(static_cast<size_t>(std::min<uint64_t>(remaining_, maxBytes_)));
    }
}

bool HttpBody::take(const char* data, size_t size)
{
    if (ended_)
        return true;
    switch (framing_) {
    case Framing::Chunked:
        if (chunks_->feed(data, size) == ChunkedDecoder::Status::Error)
            throw RSS::RSSException(L"Chunked answer cannot be read");
        ended_ = chunks_->status() == ChunkedDecoder::Status::Done;
        break;
    case Framing::Length: {
        const size_t part = static_cast<size_t>(std::min<uint64_t>(remaining_, size));
        framed(data, part);
        remaining_ -= part;
        ended_ = remaining_ == 0;
        break;
    }
    case Framing::Close:
        framed(data, size);
        break;
    }
    return ended_;
}

void HttpBody::finish(bool cleanEnd) const
{
    const bool framingEnded = ended_ || (framing_ == Framing::Close && cleanEnd);
    if (!framingEnded || (decoder_ && !decoder_->complete()))
        throw RSS::TruncatedException(L"The server broke off its answer");
}

// Framed bytes: decoded when the answer is encoded; otherwise kept as they
// came, but for a plain body read to the connection's end or its length, where
// a NUL byte still ends what its piece contributes, as it always has.
void HttpBody::framed(const char* data, size_t size)
{
    if (decoder_)
        decoder_->write(data, size);
    else if (framing_ == Framing::Chunked)
        decoded(data, size);
    else
        decoded(data, strnlen(data, size));
}

void HttpBody::decoded(const char* data, size_t size)
{
    if (size > maxBytes_ - body_.size())
        throw RSS::RSSException(L"Response too large");
    body_.append(data, size);
}
