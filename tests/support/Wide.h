#pragma once
// Test text is ASCII or bytes meant as Latin-1: each byte becomes one wide character.
#include <string>

inline std::wstring wide(const std::string& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (unsigned char c : text)
        result += static_cast<wchar_t>(c);
    return result;
}
