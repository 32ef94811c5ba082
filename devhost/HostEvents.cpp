#include "devhost/HostEvents.h"

#include "host/HostProtocol.h"

namespace {

std::wstring copyText(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

bool endsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

bool isWorkerEndLine(const std::wstring& message)
{
    return message.rfind(kWorkerEndedPrefix, 0) == 0 && endsWith(message, kWorkerEndedSuffix);
}

HostEvents::HostEvents() : changed_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

HostEvents::~HostEvents() = default;

void HostEvents::install(ServiceDispatcher& dispatcher)
{
    dispatcher.add(Service::kShowStandardNotify, [this](intptr_t w, intptr_t) { return notify(w); });
    dispatcher.add(Service::kNewsAddEntry, [this](intptr_t w, intptr_t) { return addNews(w); });
    dispatcher.add(Service::kLog, [this](intptr_t w, intptr_t) { return log(w); });
}

void HostEvents::setListener(std::function<void(const HostEvent&)> listener)
{
    std::lock_guard<std::mutex> hold(mutex_);
    listener_ = std::move(listener);
}

intptr_t HostEvents::notify(intptr_t address)
{
    auto record = recordAt<const NotifyRecord>(address);
    if (record == nullptr)
        return 0;
    HostEvent event;
    event.kind = HostEvent::Kind::Notification;
    event.notification.title = copyText(record->title);
    if (record->text != nullptr)
        event.notification.text = std::wstring(record->text);
    event.notification.icon = copyText(record->icon);
    event.notification.flags = record->flags;
    add(std::move(event));
    return 1;
}

intptr_t HostEvents::addNews(intptr_t address)
{
    auto record = recordAt<const NewsEntryRecord>(address);
    if (record == nullptr)
        return 0;
    HostEvent event;
    event.kind = HostEvent::Kind::NewsEntry;
    event.news.id = copyText(record->id);
    event.news.title = copyText(record->title);
    event.news.channelTitle = copyText(record->channelTitle);
    event.news.link = copyText(record->link);
    event.news.icon = copyText(record->icon);
    event.news.time = record->time;
    add(std::move(event));
    return 1;
}

intptr_t HostEvents::log(intptr_t address)
{
    auto record = recordAt<const LogRecord>(address);
    if (record == nullptr)
        return 0;
    HostEvent event;
    event.kind = HostEvent::Kind::Log;
    event.log.level = record->level;
    event.log.module = copyText(record->moduleName);
    event.log.message = copyText(record->message);
    add(std::move(event));
    return 1;
}

void HostEvents::add(HostEvent event)
{
    std::function<void(const HostEvent&)> listener;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (event.kind == HostEvent::Kind::Log && isWorkerEndLine(event.log.message))
            ++workersEnded_;
        events_.push_back(event);
        listener = listener_;
    }
    if (listener)
        listener(event);
    SetEvent(changed_.get());
}

std::vector<HostEvent> HostEvents::all() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return events_;
}

std::vector<Notification> HostEvents::notifications() const
{
    std::vector<Notification> found;
    for (const HostEvent& event : all())
        if (event.kind == HostEvent::Kind::Notification)
            found.push_back(event.notification);
    return found;
}

std::vector<NewsEntry> HostEvents::newsEntries() const
{
    std::vector<NewsEntry> found;
    for (const HostEvent& event : all())
        if (event.kind == HostEvent::Kind::NewsEntry)
            found.push_back(event.news);
    return found;
}

std::vector<LogLine> HostEvents::logLines() const
{
    std::vector<LogLine> found;
    for (const HostEvent& event : all())
        if (event.kind == HostEvent::Kind::Log)
            found.push_back(event.log);
    return found;
}

size_t HostEvents::size() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return events_.size();
}

size_t HostEvents::workersEnded() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return workersEnded_;
}

bool HostEvents::waitForWorkersEnded(size_t target, DWORD timeoutMs) const
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam)); // leave it for the main loop
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (workersEnded() >= target)
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        HANDLE changedHandle = changed_.get();
        MsgWaitForMultipleObjects(1, &changedHandle, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}
