#pragma once
// Reads a 200 answer's body as its pieces come off the wire: framed by
// chunked transfer coding, by Content-Length or by the end of the connection
// (in that order of precedence, as HTTP/1.1 has it), then decoded.
// Portable: no sockets here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "net/ChunkedDecoder.h"
#include "net/ContentDecoder.h"

class HttpBody {
public:
    // For the answer's head; the decoded body goes to `body`, at most
    // `maxBytes` of it ("Response too large"). RSS::RSSException for two
    // different Content-Length values or an unknown content coding.
    HttpBody(const std::string& head, size_t maxBytes, std::string& body);

    // Takes the next piece; true once the framing's end has been read (what
    // follows it is not the body's).
    bool take(const char* data, size_t size);
    // The connection ended. RSS::TruncatedException unless the body is whole;
    // `cleanEnd` is false for a TLS stream closed without close_notify, which
    // cannot end a body framed by the connection's end.
    void finish(bool cleanEnd) const;

private:
    enum class Framing { Chunked, Length, Close };
    void decoded(const char* data, size_t size);
    void framed(const char* data, size_t size);
    bool whole() const;

    std::string& body_;
    size_t maxBytes_;
    Framing framing_ = Framing::Close;
    uint64_t remaining_ = 0; // of a Content-Length body
    bool ended_ = false;     // the framing's end was read
    std::unique_ptr<ChunkedDecoder> chunks_;
    std::unique_ptr<ContentDecoder> decoder_; // none for an unencoded body
};
