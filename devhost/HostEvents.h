#pragma once
// What the plug-in tells the host: notifications, news entries and log
// lines, copied out of their records (which live for the call only) and
// kept in order of arrival. Calls come from any thread.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "devhost/ServiceDispatcher.h"

struct Notification {
    std::wstring title;
    std::optional<std::wstring> text; // absent: the record's text pointer was null
    std::wstring icon;
    uint32_t flags = 0;
};

struct NewsEntry {
    std::wstring id;
    std::wstring title;
    std::wstring channelTitle;
    std::wstring link;
    std::wstring icon;
    int64_t time = 0;
};

struct LogLine {
    int32_t level = 0;
    std::wstring module;
    std::wstring message;
};

struct HostEvent {
    enum class Kind { Notification, NewsEntry, Log } kind = Kind::Log;
    Notification notification;
    NewsEntry news;
    LogLine log;
};

class HostEvents {
public:
    HostEvents();
    ~HostEvents();
    HostEvents(const HostEvents&) = delete;
    HostEvents& operator=(const HostEvents&) = delete;

    void install(ServiceDispatcher& dispatcher);
    // Called after every event, on the thread that reported it.
    void setListener(std::function<void(const HostEvent&)> listener);

    std::vector<HostEvent> all() const;
    std::vector<Notification> notifications() const;
    std::vector<NewsEntry> newsEntries() const;
    std::vector<LogLine> logLines() const;
    size_t size() const;

    // Refresh workers reaped so far, counted from the cleaner's log lines.
    size_t workersEnded() const;
    // Waits until that count reaches target, dispatching this thread's window
    // messages meanwhile: the worker fills the panel through SendMessage.
    bool waitForWorkersEnded(size_t target, DWORD timeoutMs) const;

private:
    intptr_t notify(intptr_t record);
    intptr_t addNews(intptr_t record);
    intptr_t log(intptr_t record);
    void add(HostEvent event);

    mutable std::mutex mutex_;
    std::vector<HostEvent> events_;
    size_t workersEnded_ = 0;
    std::function<void(const HostEvent&)> listener_;
    UniqueHandle changed_; // auto-reset, set at every event
};

// "Thread 00000000000001A4 has ended": the cleaner has reaped one worker.
bool isWorkerEndLine(const std::wstring& message);
