#pragma once
// The feed list as the plug-in stores it: addresses joined with CR LF.
#include <string>
#include <vector>

namespace FeedList {
// One address per line; blank lines and lines starting with # are skipped.
std::vector<std::wstring> parseLines(const std::wstring& text);
std::wstring join(const std::vector<std::wstring>& addresses);
// Reads a UTF-8 file of addresses; false with a reason when it cannot.
bool readFile(const std::wstring& path, std::vector<std::wstring>& addresses, std::wstring& error);
} // namespace FeedList
