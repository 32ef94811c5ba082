#pragma once
// The real quillFeed.dll loaded in the test process by the devhost's own
// host (LoadLibraryW and the exports), with its panel in a hidden window.
#include <mutex>
#include <string>
#include <vector>

#include "devhost/DevHost.h"
#include "devhost/PanelFrame.h"

class HostedPlugin {
public:
    explicit HostedPlugin(const std::wstring& configPath, TimerService::Mode timers = TimerService::Mode::Manual);
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    bool load();
    // A notifying (or silent) refresh; false when it did not end in time.
    bool refresh(bool notify = true);
    void unload() { host.unload(); }

    // What the host reported on its way (damaged files and the like).
    std::vector<std::wstring> problems() const;

    // Events from index `from` on, by kind.
    std::vector<Notification> notificationsSince(size_t from) const;
    std::vector<NewsEntry> newsSince(size_t from) const;

    DevHost host;
    WindowHandle frame;

private:
    mutable std::mutex mutex_;
    std::vector<std::wstring> problems_;
};

// One line per notification ("icon | flags | title | text", "(null)" for no
// text), per news entry ("id | title | channel | link | icon | time"), and per
// tree node (indented two blanks a level, a link line's text in <>).
std::vector<std::wstring> describe(const std::vector<Notification>& notifications);
std::vector<std::wstring> describe(const std::vector<NewsEntry>& entries);
std::vector<std::wstring> outlineOf(const PanelHost& panels);

// What the host was told from event `mark` on, a line each: "notify <title>",
// "news <id> <time>", "warning <title> | <text>", and "log <message>" for a
// warning not repeated, a feed found for a page or a feed that moved.
std::vector<std::wstring> toldSince(const HostedPlugin& plugin, size_t mark);

constexpr DWORD kRefreshLimitMs = 20000; // "does not hang"; a refresh over loopback takes milliseconds
