#pragma once
// Binds the host's settings services to the plug-in's configuration file.
// Holds no copy of the value: reads go to the host, writes are saved at once.
#include <cstdint>
#include <string>

extern const wchar_t* const kFeedsKey; // "cfg/quillFeed/feeds"

namespace SettingsStore {
void open();
std::wstring read(const wchar_t* key);
intptr_t writeFeeds(const std::wstring& text);
void close();
intptr_t handle(); // zero when the settings are not open
} // namespace SettingsStore
