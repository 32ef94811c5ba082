#pragma once
// ISO-2022-JP rewritten as EUC-JP, which every platform's tables decode.
#include <cstddef>
#include <string>

// ESC $ @ and ESC $ B switch to JIS X 0208 (each byte 0x21-0x7E raised by
// 0x80), ESC ( I to half-width katakana (0x8E before the raised byte), ESC ( B
// and ESC ( J back to ASCII; other bytes pass unchanged.
std::string iso2022JpToEucJp(const std::string& text);

// Where the character numbered `characters` (from 0) starts: an escape
// sequence is no character, a JIS X 0208 one is two bytes.
size_t iso2022JpOffset(const std::string& text, size_t characters);
