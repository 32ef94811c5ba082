#pragma once
// The Windows code page for a declared character encoding name.
#include <cstdint>
#include <string>

constexpr uint32_t kUtf8CodePage = 65001;

// The name is compared without regard to ASCII letter case; a name that is
// not known, or none at all, gives UTF-8.
uint32_t codePageFor(const std::string& encodingName);
