#pragma once
// What the plug-in announced to the host, one line per notification or news
// entry in arrival order, so a test compares whole lists at once.
#include <string>
#include <vector>

#include "RecordingHost.h"

// "notify <title>" for an item notification (type 3, no text), "news <id>" for
// a news entry, "error <title> | <text>" for any other notification.
std::vector<std::wstring> announcements(const std::vector<RecordedCall>& calls);

std::wstring notifyLine(const std::wstring& title);
std::wstring newsLine(const std::wstring& id);
// "error <kind> error - <address> | <text>", as a failed check announces it.
std::wstring errorLine(const std::wstring& kind, const std::wstring& address, const std::wstring& text);
