#include "HostedPlugin.h"

#include "TestPaths.h"

namespace {
const RECT kPanelArea{0, 0, 320, 480};
}

HostedPlugin::HostedPlugin(const std::wstring& configPath, TimerService::Mode timers)
    : host({configPath, timers,
            [this](const std::wstring& problem) {
                std::lock_guard<std::mutex> hold(mutex_);
                problems_.push_back(problem);
            }}),
      frame(createPanelFrame(nullptr, kPanelArea))
{
    host.panels().attach(frame.get(), kPanelArea);
}

HostedPlugin::~HostedPlugin()
{
    host.unload();
}

bool HostedPlugin::load()
{
    std::wstring error;
    return host.load(dllPath(), error);
}

bool HostedPlugin::refresh(bool notify)
{
    return host.refresh(notify, kRefreshLimitMs);
}

std::vector<std::wstring> HostedPlugin::problems() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return problems_;
}

std::vector<Notification> HostedPlugin::notificationsSince(size_t from) const
{
    std::vector<Notification> found;
    const auto events = host.events().all();
    for (size_t i = from; i < events.size(); ++i)
        if (events[i].kind == HostEvent::Kind::Notification)
            found.push_back(events[i].notification);
    return found;
}

std::vector<NewsEntry> HostedPlugin::newsSince(size_t from) const
{
    std::vector<NewsEntry> found;
    const auto events = host.events().all();
    for (size_t i = from; i < events.size(); ++i)
        if (events[i].kind == HostEvent::Kind::NewsEntry)
            found.push_back(events[i].news);
    return found;
}

std::vector<std::wstring> describe(const std::vector<Notification>& notifications)
{
    std::vector<std::wstring> lines;
    for (const Notification& n : notifications)
        lines.push_back(n.icon + L" | " + std::to_wstring(n.flags) + L" | " + n.title + L" | " +
                        (n.text ? *n.text : L"(null)"));
    return lines;
}

std::vector<std::wstring> describe(const std::vector<NewsEntry>& entries)
{
    std::vector<std::wstring> lines;
    for (const NewsEntry& e : entries)
        lines.push_back(e.id + L" | " + e.title + L" | " + e.channelTitle + L" | " + e.link + L" | " + e.icon + L" | " +
                        std::to_wstring(e.time));
    return lines;
}

std::vector<std::wstring> outlineOf(const PanelHost& panels)
{
    std::vector<std::wstring> lines;
    for (const TreeLine& line : panels.outline())
        lines.push_back(std::wstring(2 * line.depth, L' ') + (line.data == 1 ? L"<" + line.text + L">" : line.text));
    return lines;
}

std::vector<std::wstring> toldSince(const HostedPlugin& plugin, size_t mark)
{
    std::vector<std::wstring> lines;
    const auto events = plugin.host.events().all();
    for (size_t i = mark; i < events.size(); ++i) {
        const HostEvent& event = events[i];
        if (event.kind == HostEvent::Kind::NewsEntry)
            lines.push_back(L"news " + event.news.id + L" " + std::to_wstring(event.news.time));
        else if (event.kind == HostEvent::Kind::Notification && event.notification.flags == 3)
            lines.push_back(L"notify " + event.notification.title);
        else if (event.kind == HostEvent::Kind::Notification)
            lines.push_back(L"warning " + event.notification.title + L" | " + event.notification.text.value_or(L""));
        else if (event.log.message.rfind(L"Warning not repeated: ", 0) == 0 ||
                 event.log.message.rfind(L"Feed found for ", 0) == 0 || event.log.message.rfind(L"Feed moved: ", 0) == 0)
            lines.push_back(L"log " + event.log.message);
    }
    return lines;
}
