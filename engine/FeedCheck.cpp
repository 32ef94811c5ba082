#include "engine/FeedCheck.h"

#include <string>
#include <utility>

#include "core/HostProtocol.h"
#include "core/RSSException.h"
#include "engine/FailureWarning.h"
#include "engine/FeedFetches.h"
#include "engine/FeedStore.h"
#include "engine/HostGate.h"
#include "engine/NewItems.h"
#include "engine/RefreshTask.h"

namespace {

constexpr uint32_t kItemFlags = 3;

bool send(const RefreshTask& task, const wchar_t* service, const void* record)
{
    return HostGate::call(task.generation, task.host, service, reinterpret_cast<intptr_t>(record), 0);
}

// Notification first, then news entry; false when the gate refused them.
bool announce(const RefreshTask& task, const Channel& channel, const Item& item)
{
    NotifyRecord notice;
    notice.title = item.title.c_str();
    notice.icon = kItemImageId;
    notice.flags = kItemFlags;
    if (!send(task, Service::kShowStandardNotify, &notice))
        return false;

    NewsEntryRecord entry;
    entry.id = item.guid.empty() ? item.link.c_str() : item.guid.c_str();
    entry.title = item.title.c_str();
    entry.channelTitle = channel.title.c_str();
    entry.link = item.link.c_str();
    entry.icon = kItemImageId;
    entry.time = item.pubDate;
    return send(task, Service::kNewsAddEntry, &entry);
}

void check(const RefreshTask& task, const wchar_t* address, FetchedFeed& fetched)
{
    FeedDocument document = fetched.take();
    FeedStore& store = *task.store;
    FeedMemory& memory = store.memoryFor(address);
    memory.outage.reset(); // read well: an outage is over
    NewItems news(memory);
    // Moved, not copied: a large feed would otherwise be held twice.
    const Channel& channel = store.addChannel(std::move(document.channel));

    for (const Item& item : channel.items) {
        if (!news.isNew(item))
            continue;
        // Announcements refused by an unload leave the memory as it was, so
        // the items are announced after the next load rather than lost.
        if (task.notify && !announce(task, channel, item))
            return;
    }
    news.rememberIn(memory);
}

// The warning for a failed check; whatever fails here stays here.
void reportFailure(const RefreshTask& task, const wchar_t* titlePrefix, const wchar_t* address,
                   const std::wstring& message, const wchar_t* detail = nullptr, int32_t number = 0) noexcept
{
    try {
        FeedWarning warning{titlePrefix + std::wstring(address), message};
        if (detail != nullptr)
            warning.text += detail + std::to_wstring(number);
        raiseWarning(task, address, std::move(warning));
    } catch (...) {
    }
}

} // namespace

void checkFeed(const RefreshTask& task, const wchar_t* address, FetchedFeed fetched) noexcept
{
    try {
        check(task, address, fetched);
    } catch (const RSS::NetException& failure) {
        reportFailure(task, L"Network error - ", address, failure.message, L", error code ", failure.errorCode);
    } catch (const RSS::XMLException& failure) {
        reportFailure(task, L"XML error - ", address, failure.message, L" at position ", failure.position);
    } catch (const RSS::RSSException& failure) {
        reportFailure(task, L"RSS error - ", address, failure.message);
    } catch (...) {
        // Anything else (a malformed address, no memory) ends the check silently.
    }
}
