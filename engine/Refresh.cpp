#include "engine/Refresh.h"

#include <memory>
#include <mutex>

#include "core/EventRecords.h"
#include "core/Plugin.h"
#include "core/SettingsStore.h"
#include "engine/FeedCheck.h"
#include "engine/FeedStore.h"
#include "engine/HostGate.h"
#include "engine/ModuleRef.h"
#include "engine/RefreshTask.h"
#include "engine/WorkerRegistry.h"

namespace {

constexpr int32_t kSilentRefresh = 1;
constexpr int32_t kNotifyingRefresh = 3;

DWORD WINAPI workerMain(LPVOID task)
{
    runRefresh(task);
    ModuleRef::releaseAndExitThread(0);
}

// Reads the list through the gate; false when the plug-in is being unloaded.
bool readFeedList(const RefreshTask& task, std::wstring& list)
{
    HostGate::Pass pass(task.generation);
    if (!pass)
        return false;
    list = SettingsStore::read(kFeedsKey);
    return true;
}

void refresh(const RefreshTask& task)
{
    FeedStore& store = *task.store;
    // One refresh at a time, rebuild included: none may change the store under
    // another, and the panel never shows a mix of two.
    std::lock_guard<std::mutex> hold(store.refreshMutex());
    std::wstring list;
    if (!readFeedList(task, list))
        return;
    store.clearChannels();
    for (const std::wstring& line : splitFeedList(list)) {
        // Unload cut the refresh short: the remaining checks would only fail.
        if (!HostGate::isOpen(task.generation))
            return;
        checkFeed(task, line.c_str());
    }
    if (HostGate::isOpen(task.generation))
        Plugin::instance().panel.rebuild(store.channels);
}

} // namespace

intptr_t onRefreshTimer(intptr_t timerEvent, intptr_t, void*)
{
    try {
        const auto* event = reinterpret_cast<const TimerEvent*>(timerEvent);
        if (event == nullptr)
            return 0;
        if (event->code == kSilentRefresh)
            startRefresh(&Plugin::instance().store, false);
        else if (event->code == kNotifyingRefresh)
            startRefresh(&Plugin::instance().store, true);
    } catch (...) {
        // Nothing may reach the host's timer thread.
    }
    return 0;
}

void startRefresh(FeedStore* store, bool notify)
{
    Plugin& plugin = Plugin::instance();
    const std::shared_ptr<WorkerRegistry> registry = std::atomic_load(&plugin.workers);
    const uint32_t generation = HostGate::generation();
    if (!registry || store == nullptr || !HostGate::isOpen(generation))
        return; // not loaded, or being unloaded
    auto task = std::make_unique<RefreshTask>();
    task->host = plugin.host;
    task->store = store;
    task->notify = notify;
    task->generation = generation;
    if (HMODULE module = ModuleRef::acquire()) {
        task->thread = CreateThread(nullptr, 0, &workerMain, task.get(), 0, nullptr);
        if (task->thread == nullptr)
            ModuleRef::release(module);
    }
    registry->registerWorker(std::move(task));
}

DWORD WINAPI runRefresh(LPVOID task)
{
    try {
        if (task != nullptr)
            refresh(*static_cast<const RefreshTask*>(task));
    } catch (...) {
        // A worker ends quietly; the next refresh tries again.
    }
    return 0;
}

std::vector<std::wstring> splitFeedList(const std::wstring& list)
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
