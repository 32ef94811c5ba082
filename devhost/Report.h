#pragma once
// Readable text for what the plug-in produced: notifications, news entries,
// the panel's tree as an indented outline, log lines.
#include <string>
#include <vector>

#include "devhost/HostEvents.h"
#include "devhost/PanelHost.h"

namespace Report {
// "1 channel", "3 channels"
std::wstring counted(size_t count, const std::wstring& noun);
std::wstring notification(const Notification& notification);
std::wstring notifications(const std::vector<Notification>& notifications);
std::wstring newsEntry(const NewsEntry& entry);
std::wstring newsEntries(const std::vector<NewsEntry>& entries);
// Link lines (item data 1) are shown in angle brackets.
std::wstring panel(const std::wstring& caption, const std::vector<TreeLine>& lines);
std::wstring logLine(const LogLine& line);
// One line for the interactive window's list.
std::wstring listLine(const HostEvent& event);
} // namespace Report
