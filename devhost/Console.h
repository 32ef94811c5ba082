#pragma once
// Writes wide text to standard output or error: UTF-16 to a real console,
// UTF-8 bytes to a pipe or file, so redirected output keeps Polish letters.
#include <string>

namespace Console {
void out(const std::wstring& text);
void err(const std::wstring& text);
} // namespace Console
