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

} // namespace RSS
