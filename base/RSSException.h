#pragma once
// The exception family of a feed check. Portable: the XML parser uses it too.
// Thrown by value, caught by reference, derived types before their base.
#include <cstdint>
#include <string>
#include <utility>

namespace RSS {

class RSSException {
public:
    explicit RSSException(std::wstring text) : message(std::move(text)) {}
    std::wstring message;
};

class NetException : public RSSException {
public:
    NetException(std::wstring text, int32_t code) : RSSException(std::move(text)), errorCode(code) {}
    int32_t errorCode;
};

class XMLException : public RSSException {
public:
    XMLException(std::wstring text, int32_t offset) : RSSException(std::move(text)), position(offset) {}
    int32_t position;
};

// A server that is busy or limits its clients (429, 503): an HTTP-level
// failure like any other, which also tells when it may be asked again.
class RetryLaterException : public RSSException {
public:
    RetryLaterException(std::wstring text, std::string after)
        : RSSException(std::move(text)), retryAfter(std::move(after))
    {
    }
    std::string retryAfter; // the Retry-After header's value; empty when none
};

// An answer the server broke off before its framing's end: nothing of it is
// kept, and the address's last good channel stays shown.
class TruncatedException : public RSSException {
public:
    explicit TruncatedException(std::wstring text) : RSSException(std::move(text)) {}
};

// 404 or 410: nothing is at the address asked. An address the feed moved to
// that says so sends the check back to the address the user listed.
class NotThereException : public RSSException {
public:
    explicit NotThereException(std::wstring text) : RSSException(std::move(text)) {}
};

} // namespace RSS
