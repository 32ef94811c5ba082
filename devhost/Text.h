#pragma once
// Conversions between the host's wide text and UTF-8 files and streams.
#include <cstdint>
#include <string>

namespace Text {
std::string toUtf8(const std::wstring& text);
// False when the bytes are not valid UTF-8; text is then left empty.
bool fromUtf8(const std::string& bytes, std::wstring& text);
std::wstring widen(const std::string& ascii);
// "2024-03-12 08:15:00 UTC"; an empty text when the value cannot be shown.
std::wstring utcTime(int64_t timeValue);
std::wstring hex(uintptr_t value);
} // namespace Text
