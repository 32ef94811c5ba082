#include "RealPlugin.h"

#include <commctrl.h>

#include <atomic>

#include "EventBytes.h"
#include "LogLines.h"
#include "WindowTestKit.h"
#include "host/HostRecords.h"

namespace {

constexpr RECT kPanelRect{0, 0, 320, 600};
enum PanelCode : int32_t { kShow = 1, kCreate = 7, kDestroy = 8 };
constexpr UINT_PTR kWatchId = 0xBE4C;

// With the callback data the plug-in registered, as a host passes it.
void sendPanelEvent(HostCallback panel, void* data, int32_t code, HWND parent)
{
    EventBytes event = panelEvent(code, kPanelRect, parent);
    panel(event.address(), 0, data);
}

// The recording host's table behind the timed one, and the time spent in it.
const HostApi* g_recording = nullptr;
std::atomic<int64_t> g_hostTicks{0};
HostApi g_timedTable{};

int64_t ticks()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

} // namespace

RealPlugin::RealPlugin(RecordingHost& host, HWND parent)
    : host_(host), ended_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    QueryPerformanceFrequency(&frequency_);
    g_recording = host_.api();
    g_timedTable = *host_.api();
    g_timedTable.callService = &RealPlugin::timedCall;
    if (!library_.ready() || ended_.get() == nullptr || library_.load(&g_timedTable) != 0)
        return;
    timer_ = host_.timerCallback();
    panel_ = host_.registeredCallback(L"WTW/PanelAdd", offsetof(PanelRecord, callback));
    const auto panels = host_.callsTo(L"WTW/PanelAdd");
    if (!panels.empty())
        panelData_ = reinterpret_cast<void*>(panels.back().field<intptr_t>(offsetof(PanelRecord, callbackData)));
    if (panel_ == nullptr)
        return;
    sendPanelEvent(panel_, panelData_, kCreate, parent);
    sendPanelEvent(panel_, panelData_, kShow, parent);
    tree_ = FindWindowExW(parent, nullptr, WC_TREEVIEWW, nullptr);
    if (tree_ != nullptr)
        SetWindowSubclass(tree_, &RealPlugin::watchTree, kWatchId, reinterpret_cast<DWORD_PTR>(this));
}

RealPlugin::~RealPlugin()
{
    if (tree_ != nullptr)
        RemoveWindowSubclass(tree_, &RealPlugin::watchTree, kWatchId);
    if (panel_ != nullptr)
        sendPanelEvent(panel_, panelData_, kDestroy, nullptr);
    if (library_.ready()) {
        library_.unload();
        library_.release();
        // The next load must start from a fresh library: no last-seen times.
        for (int i = 0; i < 1000 && library_.mapped(); ++i)
            Sleep(10);
    }
    host_.setResponder(nullptr);
}

double RealPlugin::now() const
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
}

RefreshTimeline RealPlugin::refresh(int32_t code, std::chrono::milliseconds limit)
{
    timeline_ = RefreshTimeline{};
    if (!loaded())
        return timeline_;
    host_.setResponder([this](const RecordedCall& call) -> std::optional<intptr_t> {
        if (call.service == L"WTW/Settings/Read" && timeline_.listRead == 0) {
            timeline_.listRead = now();
        } else if (call.service == L"WTW/Log" && isWorkerEnd(call.text(16))) {
            timeline_.ended = now();
            SetEvent(ended_.get());
        }
        return std::nullopt;
    });
    ResetEvent(ended_.get());
    g_hostTicks = 0;
    QueryPerformanceCounter(&start_);
    EventBytes event = timerEvent(code);
    timer_(event.address(), 0, nullptr);

    HANDLE ended = ended_.get();
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(limit.count());
    for (;;) {
        const ULONGLONG tick = GetTickCount64();
        if (tick >= until)
            break;
        const DWORD waited = MsgWaitForMultipleObjects(1, &ended, FALSE, static_cast<DWORD>(until - tick), QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) {
            timeline_.completed = true;
            break;
        }
        if (waited != WAIT_OBJECT_0 + 1)
            break;
        pumpMessages();
    }
    timeline_.hostMs = static_cast<double>(g_hostTicks.load()) * 1000.0 / static_cast<double>(frequency_.QuadPart);
    return timeline_;
}

intptr_t RealPlugin::timedCall(const wchar_t* service, intptr_t wParam, intptr_t lParam)
{
    const int64_t start = ticks();
    const intptr_t result = g_recording->callService(service, wParam, lParam);
    g_hostTicks += ticks() - start;
    return result;
}

LRESULT CALLBACK RealPlugin::watchTree(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self)
{
    auto* plugin = reinterpret_cast<RealPlugin*>(self);
    if (message == TVM_DELETEITEM && reinterpret_cast<HTREEITEM>(lParam) == TVI_ROOT &&
        plugin->timeline_.rebuildStart == 0) {
        plugin->timeline_.rebuildStart = plugin->now();
    }
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == TVM_INSERTITEMW) {
        ++plugin->timeline_.inserts;
        plugin->timeline_.lastInsert = plugin->now();
    }
    return result;
}
