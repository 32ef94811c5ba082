#include "engine/FeedCheck.h"

#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/RSSException.h"
#include "engine/FailureWarning.h"
#include "engine/FeedFetches.h"
#include "engine/FeedStore.h"
#include "engine/NewItems.h"
#include "engine/NewsSummary.h"
#include "engine/NextAsk.h"
#include "engine/RefreshTask.h"
#include "engine/RetryAfter.h"
#include "host/HostProtocol.h"
#include "net/Url.h"
#include "services/HostLink.h"

namespace {

constexpr uint32_t kItemFlags = 3;
constexpr int32_t kLogLevel = 1;
const wchar_t* const kLogModule = L"RSS";

bool send(const RefreshTask& task, const wchar_t* service, const void* record)
{
    return task.link->call(service, reinterpret_cast<intptr_t>(record), 0);
}

bool notify(const RefreshTask& task, const wchar_t* title, const wchar_t* text)
{
    NotifyRecord notice;
    notice.title = title;
    notice.text = text;
    notice.icon = kItemImageId;
    notice.flags = kItemFlags;
    return send(task, Service::kShowStandardNotify, &notice);
}

bool addNewsEntry(const RefreshTask& task, const Channel& channel, const Item& item)
{
    NewsEntryRecord entry;
    entry.id = item.guid.empty() ? item.link.c_str() : item.guid.c_str();
    entry.title = item.title.c_str();
    entry.channelTitle = channel.title.c_str();
    entry.link = item.link.c_str();
    entry.icon = kItemImageId;
    entry.time = item.pubDate;
    return send(task, Service::kNewsAddEntry, &entry);
}

// Each item's notification then its news entry; past the burst size one
// notification for the feed, then every news entry. False when the gate
// refused a call (the plug-in is being unloaded).
bool announce(const RefreshTask& task, const wchar_t* address, const Channel& channel,
              const std::vector<const Item*>& news)
{
    const bool burst = news.size() > kMostSingleNotifications;
    if (burst && !notify(task, channel.title.empty() ? withoutCredentials(address).c_str() : channel.title.c_str(),
                         newItemsText(news.size()).c_str()))
        return false;
    for (const Item* item : news)
        if ((!burst && !notify(task, item->title.c_str(), nullptr)) || !addNewsEntry(task, channel, *item))
            return false;
    return true;
}

// Shows the channel kept from the address's last read again; false when there is none.
bool showKept(FeedStore& store, const wchar_t* address)
{
    const auto memory = store.feeds.find(address);
    if (memory == store.feeds.end() || !memory->second.channel)
        return false;
    store.addChannel(memory->second.channel);
    return true;
}

// A page that named its feed: the feed is asked in its place from now on,
// and the log says so once for each feed found.
void rememberFoundFeed(const RefreshTask& task, const wchar_t* address, const FetchedFeed& fetched)
{
    if (!fetched.pageAsked || fetched.failure)
        return;
    FeedMemory& memory = task.store->memoryFor(address);
    if (memory.foundFeed != fetched.foundFeed)
        task.link->log(kLogLevel, kLogModule, L"Feed found for %ls: %ls", withoutCredentials(address).c_str(),
                       fetched.foundFeed.c_str());
    memory.foundFeed = fetched.foundFeed;
    memory.foundAt = task.store->now();
}

// A feed that moved for good is asked where it went from now on; the log
// says so once. The list keeps the address the user wrote.
void rememberMove(const RefreshTask& task, const wchar_t* address, const FetchedFeed& fetched)
{
    if (fetched.skipped || (!fetched.moveForgotten && fetched.failure))
        return;
    FeedMemory& memory = task.store->memoryFor(address);
    if (fetched.failure) { // where it moved failed: ask the address itself next
        memory.movedTo.clear();
        return;
    }
    if (!fetched.movedTo.empty() && fetched.movedTo != memory.movedTo)
        task.link->log(kLogLevel, kLogModule, L"Feed moved: %ls -> %ls (the list still holds the old address)",
                       withoutCredentials(address).c_str(), fetched.movedTo.c_str());
    memory.movedTo = fetched.movedTo;
}

// After a check that read well: when the address is asked next.
void schedule(const RefreshTask& task, FeedMemory& memory, const FetchedFeed& fetched, const Channel& channel)
{
    if (fetched.cacheSeconds)
        memory.cacheSeconds = *fetched.cacheSeconds;
    else if (!fetched.notModified)
        memory.cacheSeconds = 0; // a new answer without cache headers gives no hint
    memory.dueAt = nextAskAt(task.startedAt, memory.cacheSeconds, channel);
}

void check(const RefreshTask& task, const wchar_t* address, FetchedFeed& fetched)
{
    FeedStore& store = *task.store;
    rememberFoundFeed(task, address, fetched);
    rememberMove(task, address, fetched);
    if (fetched.skipped) { // not due, or waiting as the server asked: nothing to say
        showKept(store, address);
        return;
    }
    if (fetched.notModified) {
        // Only a conditional request gets here, and only a kept channel makes one.
        if (!showKept(store, address))
            throw RSS::RSSException(L"HTTP response code diffrent than 200 received");
        FeedMemory& memory = store.memoryFor(address);
        memory.outage.reset();
        schedule(task, memory, fetched, *memory.channel);
        return;
    }
    FeedDocument document = fetched.take();
    FeedMemory& memory = store.memoryFor(address);
    memory.outage.reset(); // read well: an outage is over
    // Moved, not copied: a large feed would otherwise be held twice. The
    // memory shares the store's copy.
    const SharedChannel channel = std::make_shared<const Channel>(std::move(document.channel));
    store.addChannel(channel);
    memory.channel = channel;
    schedule(task, memory, fetched, *channel);
    // A silent refresh learns only addresses it never checked; for the others
    // what is new stays new (validators included, or the next notifying
    // refresh would be told nothing changed) until a notifying one, which
    // asks the address whatever is due.
    if (!task.notify && memory.checked) {
        memory.unannounced = true;
        return;
    }

    NewItems news(memory, store.now());
    std::vector<const Item*> fresh;
    for (const Item& item : channel->items)
        if (news.isNew(item))
            fresh.push_back(&item);
    // Announcements refused by an unload leave the memory as it was, so the
    // items are announced after the next load rather than lost.
    if (task.notify && !announce(task, address, *channel, fresh)) {
        memory.unannounced = true; // asked again at once, not when next due
        return;
    }
    if (task.notify)
        store.announced.insert(store.announced.end(), fresh.begin(), fresh.end());
    news.rememberIn(memory);
    memory.unannounced = false;
    // Only now: asked conditionally, a server would not send these items again.
    memory.validators = std::move(fetched.validators);
}

// A server that asked for a wait is not asked again before it is over; its
// last channel stays shown meanwhile.
void holdOff(const RefreshTask& task, const wchar_t* address, const std::string& retryAfter) noexcept
{
    try {
        task.store->memoryFor(address).quietUntil = quietUntil(retryAfter, task.store->now());
        showKept(*task.store, address);
    } catch (...) {
    }
}

// Nothing of a broken-off answer is kept: the last good channel stays shown.
void keepShowing(const RefreshTask& task, const wchar_t* address) noexcept
{
    try {
        showKept(*task.store, address);
    } catch (...) {
    }
}

// The warning for a failed check; whatever fails here stays here.
void reportFailure(const RefreshTask& task, const wchar_t* titlePrefix, const wchar_t* address,
                   const std::wstring& message, const wchar_t* detail = nullptr, int32_t number = 0) noexcept
{
    try {
        // Shown and logged: never the password of an address that has one.
        FeedWarning warning{titlePrefix + withoutCredentials(address), message};
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
    } catch (const RSS::RetryLaterException& failure) {
        holdOff(task, address, failure.retryAfter);
        reportFailure(task, L"RSS error - ", address, failure.message);
    } catch (const RSS::TruncatedException& failure) {
        keepShowing(task, address);
        reportFailure(task, L"RSS error - ", address, failure.message);
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
