#pragma once
// Everything the plug-in and a host must agree on besides the record layouts
// (host/HostRecords.h, host/EventRecords.h): service names, the identifiers
// the plug-in registers under, event codes, theme colour indices, the
// settings key of the feed list and how that list is cut into lines.
// Shared by the plug-in and the devhost, so it holds no code of the plug-in's.
#include <cstdint>
#include <string>
#include <vector>

#include "host/EventRecords.h"
#include "host/HostApi.h"
#include "host/HostRecords.h"

namespace Service {
inline constexpr wchar_t kGraphLoad[] = L"WTW/Graph/Load";
inline constexpr wchar_t kAddOptionsPage[] = L"WTW/AddOptionsPage";
inline constexpr wchar_t kRemoveOptionsPage[] = L"WTW/RemoveOptionsPage";
inline constexpr wchar_t kPanelAdd[] = L"WTW/PanelAdd";
inline constexpr wchar_t kPanelDel[] = L"WTW/PanelDel";
inline constexpr wchar_t kTimerCreate[] = L"WTW/Timer/Create";
inline constexpr wchar_t kTimerDestroy[] = L"WTW/Timer/Destroy";
inline constexpr wchar_t kSettingsGetMyConfigFile[] = L"WTW/Settings/GetMyConfigFile";
inline constexpr wchar_t kSettingsInit[] = L"WTW/Settings/Init";
inline constexpr wchar_t kSettingsRead[] = L"WTW/Settings/Read";
inline constexpr wchar_t kSettingsGet[] = L"WTW/Settings/Get";
inline constexpr wchar_t kSettingsSet[] = L"WTW/Settings/Set";
inline constexpr wchar_t kSettingsWrite[] = L"WTW/Settings/Write";
inline constexpr wchar_t kSettingsDestroy[] = L"WTW/Settings/Destroy";
inline constexpr wchar_t kLog[] = L"WTW/Log";
inline constexpr wchar_t kGetThemeColor[] = L"WTW/GetThemeColor";
inline constexpr wchar_t kShowStandardNotify[] = L"WTW/ShowStandardNotify";
inline constexpr wchar_t kNewsAddEntry[] = L"News/AddEntry";
} // namespace Service

// Identifiers the plug-in registers under and the images it names.
inline constexpr wchar_t kPluginId[] = L"quillFeed"; // options page and panel
inline constexpr wchar_t kPluginCaption[] = L"RSS";
inline constexpr wchar_t kPluginImageId[] = L"Image/quillFeed";
inline constexpr wchar_t kPluginsGroupId[] = L"WTW/Group/Plugz";
inline constexpr wchar_t kRefreshTimerId[] = L"quillFeed/feedRefreshTimer";
inline constexpr wchar_t kItemImageId[] = L"Image/RSS";
inline constexpr wchar_t kWarningImageId[] = L"Image/Warning32";

// The feed list: one text value, addresses separated by CR LF.
inline constexpr wchar_t kFeedsKey[] = L"cfg/quillFeed/feeds";
inline constexpr uint32_t kSettingsTextValue = 3; // the value type of every setting

// The buffer, in characters with the NUL, for "WTW/Settings/GetMyConfigFile".
inline constexpr uint32_t kConfigPathChars = 261;

// The line the cleaner logs when a worker has ended; %p is the thread handle.
inline constexpr wchar_t kWorkerEndedPrefix[] = L"Thread ";
inline constexpr wchar_t kWorkerEndedSuffix[] = L" has ended";
inline constexpr wchar_t kWorkerEndedFormat[] = L"Thread %p has ended";

// Theme colour indices for "WTW/GetThemeColor".
inline constexpr intptr_t kThemeIndexText = 5;
inline constexpr intptr_t kThemeIndexBackground = 1;

// Cuts the feed list at every CR LF; the text after the last pair is a line too.
inline std::vector<std::wstring> splitFeedList(const std::wstring& list)
{
    static const std::wstring separator = L"\r\n";
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = list.find(separator, start);
        if (end == std::wstring::npos) {
            lines.push_back(list.substr(start));
            return lines;
        }
        lines.push_back(list.substr(start, end - start));
        start = end + separator.size();
    }
}
