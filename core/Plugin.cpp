#include "core/Plugin.h"

#include "core/HostLog.h"
#include "core/HostRecords.h"
#include "core/SettingsStore.h"
#include "engine/HostGate.h"
#include "engine/Refresh.h"
#include "net/HttpClient.h"
#include "res/resource_ids.h"
#include "ui/OptionsPage.h"

namespace {

const wchar_t* const kImageId = L"Image/quillFeed";
const wchar_t* const kPluginId = L"quillFeed";
const wchar_t* const kCaption = L"RSS";
const wchar_t* const kTimerId = L"quillFeed/feedRefreshTimer";
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

int Plugin::load(const HostApi* hostTable)
{
    host = hostTable;
    // Workers of this load may call the host and fetch; an earlier unload stopped both.
    HostGate::open();
    HttpClient::resumeAll();
    std::atomic_store(&workers, WorkerRegistry::create());
    setLogHost(hostTable);

    ImageLoadRecord image;
    image.imageId = kImageId;
    image.resourceId = QF_RES_PLUGIN_PNG;
    image.module = module;
    callHost(host, L"WTW/Graph/Load", asParam(&image), 0);

    OptionsPageRecord page;
    page.pageId = kPluginId;
    page.parentGroupId = L"WTW/Group/Plugz";
    page.caption = kCaption;
    page.iconId = kImageId;
    page.callback = &OptionsPage::onEvent;
    page.callbackData = this;
    callHost(host, L"WTW/AddOptionsPage", asParam(module), asParam(&page));

    PanelRecord panelRecord;
    panelRecord.iconId = kImageId;
    panelRecord.panelId = kPluginId;
    panelRecord.caption = kCaption;
    panelRecord.callback = &FeedPanel::onEvent;
    panelRecord.callbackData = this;
    callHost(host, L"WTW/PanelAdd", asParam(&panelRecord), 0);

    SettingsStore::open();

    TimerRecord timer;
    timer.timerId = kTimerId;
    timer.intervalMs = kRefreshIntervalMs;
    timer.callback = &onRefreshTimer;
    callHost(host, L"WTW/Timer/Create", asParam(&timer), 0);
    return 0;
}

int Plugin::unload()
{
    const ULONGLONG started = GetTickCount64();
    // Workers stop talking to the host before it takes our registrations away
    // (calls in flight finish first), and their fetches are cut short so that
    // the wait for the cleaner below does not wait on a slow server.
    HostGate::close(kCleanerWaitMs);
    HttpClient::cancelAll();

    callHost(host, L"WTW/RemoveOptionsPage", asParam(module), asParam(kPluginGuid));

    PanelRecord panelRecord;
    panelRecord.panelId = kPluginId;
    callHost(host, L"WTW/PanelDel", asParam(&panelRecord), 0);

    callHost(host, L"WTW/Timer/Destroy", asParam(kTimerId), 0);
    SettingsStore::close();

    if (optionsEditor != nullptr) {
        DestroyWindow(optionsEditor);
        optionsEditor = nullptr;
    }
    // A cleaner still running keeps its own reference to the registry.
    if (auto registry = std::atomic_exchange(&workers, std::shared_ptr<WorkerRegistry>()))
        registry->teardown(remainingMs(started, kCleanerWaitMs));
    return 0;
}
