#include "core/Plugin.h"

#include "core/PluginInfo.h"
#include "core/RefreshTimer.h"
#include "engine/FeedStateFile.h"
#include "host/HostProtocol.h"
#include "res/resource_ids.h"

namespace {

constexpr uint32_t kRefreshIntervalMs = 300000;
constexpr uint32_t kCleanerWaitMs = 15000;

} // namespace

// The entry point overwrites this; linked into a program it is the program.
HINSTANCE Plugin::codeModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Plugin::codeModule), &module);
    return module;
}

namespace {

intptr_t asParam(const void* record)
{
    return reinterpret_cast<intptr_t>(record);
}

// What is left of one bounded wait that started at `started`.
uint32_t remainingMs(ULONGLONG started, uint32_t budgetMs)
{
    const ULONGLONG elapsed = GetTickCount64() - started;
    return elapsed >= budgetMs ? 0 : static_cast<uint32_t>(budgetMs - elapsed);
}

} // namespace

Plugin& Plugin::instance()
{
    static Plugin plugin;
    return plugin;
}

int Plugin::load(const HostApi* host)
{
    // This load's own link and fetch control: what an earlier unload closed stays closed.
    link = std::make_shared<HostLink>(host);
    fetches = std::make_shared<FetchControl>();
    std::atomic_store(&workers, WorkerRegistry::create(link));
    panel.bind(link, module);
    // A list just edited is asked whole at the next refresh: the user wants news now.
    optionsPage.bind(&settings, link, module, [this] { store.askEveryAddressNext(); });

    ImageLoadRecord image;
    image.imageId = kPluginImageId;
    image.resourceId = QF_RES_PLUGIN_PNG;
    image.module = module;
    callHost(host, Service::kGraphLoad, asParam(&image), 0);

    OptionsPageRecord page;
    page.pageId = kPluginId;
    page.parentGroupId = kPluginsGroupId;
    page.caption = kPluginCaption;
    page.iconId = kPluginImageId;
    page.callback = &OptionsPage::onEvent;
    page.callbackData = static_cast<UiParts*>(this);
    callHost(host, Service::kAddOptionsPage, asParam(module), asParam(&page));

    PanelRecord panelRecord;
    panelRecord.iconId = kPluginImageId;
    panelRecord.panelId = kPluginId;
    panelRecord.caption = kPluginCaption;
    panelRecord.callback = &FeedPanel::onEvent;
    panelRecord.callbackData = static_cast<UiParts*>(this);
    callHost(host, Service::kPanelAdd, asParam(&panelRecord), 0);

    settings.open(host, module);

    TimerRecord timer;
    timer.timerId = kRefreshTimerId;
    timer.intervalMs = kRefreshIntervalMs;
    timer.callback = &onRefreshTimer;
    callHost(host, Service::kTimerCreate, asParam(&timer), 0);
    return 0;
}

int Plugin::unload()
{
    const ULONGLONG started = GetTickCount64();
    // Workers stop talking to the host before it takes our registrations away
    // (calls in flight finish first), and their fetches are cut short so that
    // the wait for the cleaner below does not wait on a slow server.
    if (link)
        link->close(kCleanerWaitMs);
    if (fetches)
        fetches->cancel();
    const HostApi* host = link ? link->host() : nullptr; // the host table of the load this ends

    callHost(host, Service::kRemoveOptionsPage, asParam(module), asParam(kPluginGuid));

    PanelRecord panelRecord;
    panelRecord.panelId = kPluginId;
    callHost(host, Service::kPanelDel, asParam(&panelRecord), 0);

    callHost(host, Service::kTimerDestroy, asParam(kRefreshTimerId), 0);
    settings.close();
    optionsPage.closeEditor();
    // A cleaner still running keeps its own reference to the registry.
    if (auto registry = std::atomic_exchange(&workers, std::shared_ptr<WorkerRegistry>()))
        registry->teardown(remainingMs(started, kCleanerWaitMs));
    return 0;
}

std::unique_ptr<RefreshTask> Plugin::refreshTask(bool notify)
{
    auto task = std::make_unique<RefreshTask>();
    task->link = link;
    task->fetches = fetches;
    task->settings = &settings;
    task->statePath = feedStatePath(settings.configFile());
    task->store = &store;
    task->panel = &panel;
    task->notify = notify;
    return task;
}
