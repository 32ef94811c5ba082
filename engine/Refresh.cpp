#include "engine/Refresh.h"

#include <ctime>
#include <memory>

#include "base/ModuleRef.h"
#include "engine/FeedCheck.h"
#include "engine/FeedFetches.h"
#include "engine/FeedStateFile.h"
#include "engine/FeedStore.h"
#include "engine/NewItems.h"
#include "engine/NextAsk.h"
#include "engine/RefreshTask.h"
#include "engine/WorkerRegistry.h"
#include "host/HostProtocol.h"
#include "services/CallbackGuard.h"
#include "net/FetchControl.h"
#include "services/HostLink.h"
#include "services/SettingsStore.h"
#include "ui/FeedPanel.h"

namespace {

// How long an address taken off the list is remembered, so that one put back
// soon does not announce its whole feed again.
constexpr int64_t kUnlistedMemorySeconds = 30 * 24 * 3600;
// How long the feed a page named is asked in the page's place.
constexpr int64_t kFoundFeedSeconds = 24 * 3600;

DWORD WINAPI workerMain(LPVOID task)
{
    runRefresh(task);
    ModuleRef::releaseAndExitThread(0);
}

// Reads the list through the gate; false when the plug-in is being unloaded.
bool readFeedList(const RefreshTask& task, std::wstring& list)
{
    HostLink::Pass pass(*task.link);
    if (!pass)
        return false;
    list = task.settings != nullptr ? task.settings->read(kFeedsKey) : std::wstring();
    return true;
}

// Whether the refresh asks an address: it is due, it has news a silent
// refresh left unannounced, or there is no channel of it to show meanwhile
// (after a restart). A server's asked-for wait holds whatever the user does.
bool asked(const FeedMemory& memory, int64_t now, bool everyAddress, bool notify)
{
    if (now < memory.quietUntil)
        return false;
    return everyAddress || !memory.channel || (notify && memory.unannounced) || isDue(memory.dueAt, now);
}

// Each line with what the store remembers of it: how to ask, or not to ask yet.
std::vector<FeedRequest> requestsFor(const FeedStore& store, const std::vector<std::wstring>& lines,
                                     const RefreshTask& task, bool everyAddress)
{
    const int64_t now = task.startedAt;
    std::vector<FeedRequest> requests;
    requests.reserve(lines.size());
    for (const std::wstring& line : lines) {
        FeedRequest request;
        request.address = line;
        const auto memory = store.feeds.find(line);
        if (memory != store.feeds.end()) {
            // Asked conditionally only with a channel to show for "not modified":
            // after a restart the validators are known but the channel is not.
            if (memory->second.channel)
                request.known = memory->second.validators;
            request.skipped = !asked(memory->second, now, everyAddress, task.notify);
            request.movedTo = memory->second.movedTo;
            // A page is asked again a day after it named its feed (it may name
            // another by then), or at once when that feed fails.
            request.knownPage = !memory->second.foundFeed.empty();
            if (now - memory->second.foundAt < kFoundFeedSeconds)
                request.foundFeed = memory->second.foundFeed;
        }
        requests.push_back(std::move(request));
    }
    return requests;
}

// The addresses of the list are marked as listed now; those out of it for
// longer than their memory lasts are forgotten.
void markListed(FeedStore& store, const std::vector<std::wstring>& lines)
{
    const int64_t now = store.now();
    for (const std::wstring& line : lines) {
        const auto memory = store.feeds.find(line);
        if (memory != store.feeds.end() && now - memory->second.listedAt >= kSeenTimeResolutionSeconds)
            memory->second.listedAt = now;
    }
    for (auto it = store.feeds.begin(); it != store.feeds.end();)
        it = it->second.listedAt < now - kUnlistedMemorySeconds ? store.feeds.erase(it) : std::next(it);
}

// Checks one line; the channels it adds to the store are shown as that line's.
void checkLine(const RefreshTask& task, const std::wstring& line, FetchedFeed fetched,
               std::vector<std::wstring>& sources)
{
    checkFeed(task, line.c_str(), std::move(fetched));
    sources.resize(task.store->channels.size(), line);
}

PanelContent shownContent(const FeedStore& store, const std::vector<std::wstring>& sources)
{
    PanelContent content;
    for (size_t i = 0; i < store.channels.size() && i < sources.size(); ++i)
        content.channels.push_back({sources[i], store.channels[i]});
    content.announced.insert(store.announced.begin(), store.announced.end());
    return content;
}

void refresh(RefreshTask& task)
{
    FeedStore& store = *task.store;
    const RefreshQueue::Turn turn(store.refreshQueue());
    task.notify = turn.notify(); // events merged while it waited count too
    task.startedAt = store.now();
    const bool everyAddress = store.takeAskEveryAddress();
    if (!store.stateRead) { // read once per library, in the first refresh's turn
        loadFeedState(store, task.statePath, *task.link);
        store.stateRead = true;
    }
    std::wstring list;
    if (!readFeedList(task, list))
        return;
    store.clearChannels();
    const std::vector<std::wstring> lines = splitFeedList(list);
    // Fetched several at a time, checked one by one in list order on this
    // thread: the store keeps one writer, the announcements their order.
    FeedFetches fetches(requestsFor(store, lines, task, everyAddress), *task.fetches, task.link.get());
    // Unload cuts the refresh short: the remaining checks would only fail.
    std::vector<std::wstring> sources; // the list line of each channel shown
    for (size_t i = 0; i < lines.size() && task.link->isOpen(); ++i)
        checkLine(task, lines[i], fetches.take(i), sources);
    markListed(store, lines);
    saveFeedState(store, task.statePath, *task.link); // what was checked is kept, unload or not
    if (task.panel != nullptr && task.link->isOpen())
        task.panel->update(shownContent(store, sources));
}

} // namespace

void startRefresh(const std::shared_ptr<WorkerRegistry>& registry, std::unique_ptr<RefreshTask> task)
{
    if (!registry || !task || task->store == nullptr || !task->link || !task->fetches || !task->link->isOpen())
        return; // not loaded, or being unloaded
    RefreshQueue& queue = task->store->refreshQueue();
    if (!queue.admit(task->notify))
        return; // merged into the refresh that waits its turn
    if (HMODULE module = ModuleRef::acquire()) {
        task->thread.reset(CreateThread(nullptr, 0, &workerMain, task.get(), 0, nullptr));
        if (!task->thread)
            ModuleRef::release(module);
    }
    if (!task->thread)
        queue.withdraw();
    registry->registerWorker(std::move(task));
}

DWORD WINAPI runRefresh(LPVOID task)
{
    // A failed refresh ends its worker; the next refresh tries again.
    auto* refreshTask = static_cast<RefreshTask*>(task);
    if (refreshTask == nullptr)
        return 0;
    return guarded(refreshTask->link.get(), L"refresh worker", DWORD{0}, [refreshTask] {
        refresh(*refreshTask);
        return DWORD{0};
    });
}
