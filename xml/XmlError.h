#pragma once
// The parser's failures: RSS::XMLException with a wide message and a byte position.
#include <cstddef>
#include <cstdint>
#include <string>

#include "xml/XmlLimits.h"

namespace Xml {

// Each byte becomes the wide character of the same value; at most `limit` of them.
std::wstring widen(const std::string& bytes, size_t limit = std::string::npos);

// Byte offset as the exception carries it: saturated, never negative.
int32_t reportedPosition(size_t position);

[[noreturn]] void fail(const char* message, size_t position);

// A limit exceeded: the message is `before`, the limit's value, then `after`.
[[noreturn]] void failOverLimit(const char* before, size_t limit, const char* after, size_t position);

[[noreturn]] void failTextTooLong(size_t position);

// A name, text or value of `length` bytes must keep within kMaxTextBytes.
inline void checkTextLength(size_t length, size_t position)
{
    if (length > kMaxTextBytes)
        failTextTooLong(position);
}

// "Wrong nesting": the end tag's name first, each name cut at its first NUL
// byte and then to 31 characters.
[[noreturn]] void failWrongNesting(const std::string& endName, const std::string& openName, size_t position);

} // namespace Xml
