#include "RealPlugin.h"

#include <commctrl.h>
#include <psapi.h>

#include <atomic>

#include "EventBytes.h"
#include "LogLines.h"
#include "WindowTestKit.h"
#include "host/HostRecords.h"

namespace {

constexpr RECT kPanelRect{0, 0, 320, 600};
enum PanelCode : int32_t { kShow = 1, kCreate = 7, kDestroy = 8 };

// The plug-in whose panel is watched. Its windows' procedures are replaced,
// not subclassed with comctl32's SetWindowSubclass, which under Wine costs
// every message a call to the Wine server (the window property holding the
// subclass chain) and would weigh on what is measured.
RealPlugin* g_watched = nullptr;

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
    frame_ = GetWindow(parent, GW_CHILD);
    tree_ = FindWindowExW(frame_, nullptr, WC_TREEVIEWW, nullptr);
    if (tree_ == nullptr)
        return;
    g_watched = this;
    for (int i : {0, 1})
        procs_[i] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            i == 0 ? frame_ : tree_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RealPlugin::watchPanel)));
}

RealPlugin::~RealPlugin()
{
    if (tree_ != nullptr)
        for (int i : {0, 1})
            SetWindowLongPtrW(i == 0 ? frame_ : tree_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procs_[i]));
    g_watched = nullptr;
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

double RealPlugin::openChannels(size_t count)
{
    timeline_ = RefreshTimeline{};
    HTREEITEM channel = TreeView_GetRoot(tree_);
    for (size_t i = 0; i < count && channel != nullptr; ++i, channel = TreeView_GetNextSibling(tree_, channel))
        TreeView_Expand(tree_, channel, TVE_EXPAND);
    return timeline_.panelMs;
}

LRESULT CALLBACK RealPlugin::watchPanel(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RealPlugin* plugin = g_watched;
    RefreshTimeline& timeline = plugin->timeline_;
    // The update's steps are sent from the refresh's worker.
    const bool step = window == plugin->frame_ && InSendMessage();
    if (step && timeline.updateStart == 0) {
        timeline.updateStart = plugin->now();
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        timeline.peakAtUpdate = counters.PeakWorkingSetSize;
    }
    if (plugin->depth_++ == 0)
        QueryPerformanceCounter(&plugin->entered_);
    const LRESULT result = CallWindowProcW(plugin->procs_[window == plugin->frame_ ? 0 : 1], window, message, wParam, lParam);
    if (--plugin->depth_ == 0)
        timeline.panelMs += static_cast<double>(ticks() - plugin->entered_.QuadPart) * 1000.0 /
                            static_cast<double>(plugin->frequency_.QuadPart);
    if (step)
        timeline.updateEnd = plugin->now();
    if (message == TVM_INSERTITEMW)
        ++timeline.inserts;
    else if (message == TVM_DELETEITEM)
        ++timeline.deletes;
    else if (message == TVM_SETITEMW && (reinterpret_cast<const TVITEMW*>(lParam)->mask & TVIF_TEXT))
        ++timeline.texts;
    return result;
}
