#include "devhost/Report.h"

#include "devhost/Text.h"

namespace Report {

namespace {

std::wstring iconTag(const std::wstring& icon)
{
    const std::wstring prefix = L"Image/";
    return L"[" + (icon.rfind(prefix, 0) == 0 ? icon.substr(prefix.size()) : icon) + L"]";
}

// Texts from feeds may hold line breaks; an outline keeps one line per entry.
std::wstring oneLine(std::wstring text)
{
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    for (wchar_t& c : text)
        if (c == L'\n' || c == L'\r' || c == L'\t')
            c = L' ';
    return text;
}

std::wstring timeText(int64_t time)
{
    const std::wstring utc = Text::utcTime(time);
    return utc.empty() ? L"(time " + std::to_wstring(time) + L")" : utc;
}

} // namespace

std::wstring counted(size_t count, const std::wstring& noun)
{
    return std::to_wstring(count) + L" " + noun + (count == 1 ? L"" : L"s");
}

std::wstring notification(const Notification& notification)
{
    const std::wstring tag = iconTag(notification.icon);
    std::wstring text = L"  " + tag + L" " + oneLine(notification.title) + L"\n";
    if (notification.text)
        text += std::wstring(tag.size() + 3, L' ') + oneLine(*notification.text) + L"\n";
    return text;
}

std::wstring notifications(const std::vector<Notification>& notifications)
{
    std::wstring text = L"Notifications (" + std::to_wstring(notifications.size()) + L"):\n";
    for (const Notification& one : notifications)
        text += notification(one);
    return text;
}

std::wstring newsEntry(const NewsEntry& entry)
{
    return L"  " + timeText(entry.time) + L"  " + oneLine(entry.title) + L"\n" + L"      channel: " +
           oneLine(entry.channelTitle) + L"\n" + L"      link:    " + oneLine(entry.link) + L"\n" + L"      id:      " +
           oneLine(entry.id) + L"\n";
}

std::wstring newsEntries(const std::vector<NewsEntry>& entries)
{
    std::wstring text = L"News entries (" + std::to_wstring(entries.size()) + L"):\n";
    for (const NewsEntry& entry : entries)
        text += newsEntry(entry);
    return text;
}

std::wstring panel(const std::wstring& caption, const std::vector<TreeLine>& lines)
{
    size_t roots = 0;
    for (const TreeLine& line : lines)
        roots += line.depth == 0 ? 1 : 0;
    std::wstring text = L"Panel \"" + caption + L"\" (" + counted(roots, L"channel") + L"):\n";
    for (const TreeLine& line : lines) {
        const std::wstring shown = oneLine(line.text);
        text += std::wstring(2 + 2 * static_cast<size_t>(line.depth), L' ') +
                (line.data == 1 ? L"<" + shown + L">" : shown) + L"\n";
    }
    return text;
}

std::wstring logLine(const LogLine& line)
{
    return L"[log " + line.module + L" " + std::to_wstring(line.level) + L"] " + oneLine(line.message) + L"\n";
}

std::wstring listLine(const HostEvent& event)
{
    switch (event.kind) {
    case HostEvent::Kind::Notification:
        return iconTag(event.notification.icon) + L" " + oneLine(event.notification.title) +
               (event.notification.text ? L" \u2014 " + oneLine(*event.notification.text) : L"");
    case HostEvent::Kind::NewsEntry:
        return L"[news] " + timeText(event.news.time) + L"  " + oneLine(event.news.channelTitle) + L": " +
               oneLine(event.news.title);
    case HostEvent::Kind::Log:
        break;
    }
    return L"[log] " + oneLine(event.log.message);
}

} // namespace Report
