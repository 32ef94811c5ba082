#pragma once
// Undoes a body's Content-Encoding as its pieces arrive: gzip (x-gzip)
// and deflate, the zlib-wrapped form or the raw one as browsers
// accept both. Decoded bytes go straight to the sink: the body is never held
// twice. Portable: no sockets here; zlib does the inflating.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class ContentDecoder {
public:
    using Sink = std::function<void(const char* data, size_t size)>;
    virtual ~ContentDecoder() = default;

    // For a Content-Encoding value (codings in order, comma-separated, any
    // case); none for no coding (empty or "identity"). RSS::RSSException
    // naming the coding for one it does not know.
    static std::unique_ptr<ContentDecoder> forCodings(const std::string& codings, Sink sink);

    // RSS::RSSException for data that cannot be decoded.
    virtual void write(const char* data, size_t size) = 0;
    // Whether the encoded stream has come to its own end.
    virtual bool complete() const = 0;
};
