#pragma once
// The parser's failures: RSS::XMLException with a wide message and a byte position.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Xml {

// Each byte becomes the wide character of the same value; at most `limit` of them.
std::wstring widen(const std::string& bytes, size_t limit = std::string::npos);

// Byte offset as the exception carries it: saturated, never negative.
int32_t reportedPosition(size_t position);

[[noreturn]] void fail(const char* message, size_t position);

// "Wrong nesting": the end tag's name first, each name cut at its first NUL
// byte and then to 31 characters.
[[noreturn]] void failWrongNesting(const std::string& endName, const std::string& openName, size_t position);

} // namespace Xml
