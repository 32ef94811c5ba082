#pragma once
// The Windows code page for a declared character encoding name.
#include <cstdint>
#include <string>

constexpr uint32_t kUtf8CodePage = 65001;
constexpr uint32_t kWindows1252CodePage = 1252;
constexpr uint32_t kIso2022JpCodePage = 50222;

// The name is one of the WHATWG Encoding Standard's labels, compared without
// regard to ASCII letter case and blanks around it; a name that is not known,
// or none at all, gives UTF-8.
uint32_t codePageFor(const std::string& encodingName);
