#pragma once
// The devhost's configuration file: a header line, then one key=value line
// per setting, UTF-8, with \\ \r \n \t escaped so a value stays on one line.
#include <map>
#include <string>

namespace SettingsFormat {

using Values = std::map<std::wstring, std::wstring>;

extern const char* const kHeader;

std::string serialize(const Values& values);
// False when the bytes are not such a file; error then names the line.
bool parse(const std::string& bytes, Values& values, std::wstring& error);

} // namespace SettingsFormat
