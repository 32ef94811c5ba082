#include "HostileRefresh.h"

#include <cstdio>
#include <cstdlib>

#include "LoopbackServer.h"
#include "ProcessCounts.h"
#include "core/EventRecords.h"
#include "core/SettingsStore.h"
#include "engine/Refresh.h"
#include "ui/FeedPanel.h"

namespace {

// Wine and WinSock create a few objects of their own on first use of a path
// (a timed-out receive, a reset); a leak per refresh shows as many more.
constexpr size_t kHandleSlack = 8;
constexpr RECT kTreeRect{0, 0, 400, 300};
constexpr int32_t kNotifyingRefresh = 3;
enum PanelCode : int32_t { kCreatePanel = 7, kDestroyPanel = 8 };

void sendPanelEvent(int32_t code, HWND parent)
{
    PanelEvent event{};
    event.code = code;
    event.left = kTreeRect.left;
    event.top = kTreeRect.top;
    event.right = kTreeRect.right;
    event.bottom = kTreeRect.bottom;
    event.parent = parent;
    FeedPanel::onEvent(reinterpret_cast<intptr_t>(&event), 0, nullptr);
}

std::vector<std::wstring> announcementsOf(const std::vector<RecordedCall>& calls)
{
    std::vector<std::wstring> lines;
    for (const RecordedCall& call : calls) {
        if (call.service == L"WTW/ShowStandardNotify") {
            if (call.field<uint32_t>(40) == 3 && call.isNullText(8))
                lines.push_back(notifyLine(call.text(16)));
            else
                lines.push_back(L"error " + call.text(16) + L" | " + call.text(8));
        } else if (call.service == L"News/AddEntry") {
            lines.push_back(newsLine(call.text(8)));
        }
    }
    return lines;
}

template <typename T>
void printLines(const std::vector<T>& lines, std::ostream* out)
{
    for (const T& line : lines)
        *out << "\n      " << testing::PrintToString(line.substr(0, 200));
}

} // namespace

bool operator==(const RefreshOutcome& a, const RefreshOutcome& b)
{
    return a.announcements == b.announcements && a.channels == b.channels && a.ended == b.ended;
}

void PrintTo(const RefreshOutcome& outcome, std::ostream* out)
{
    *out << (outcome.ended ? "ended" : "DID NOT END") << "; announcements:";
    printLines(outcome.announcements, out);
    *out << "\n    channels:";
    printLines(outcome.channels, out);
}

bool operator==(const CaseResult& a, const CaseResult& b)
{
    return a.name == b.name && a.outcome == b.outcome;
}

void PrintTo(const CaseResult& result, std::ostream* out)
{
    *out << "\n  [" << result.name << "] ";
    PrintTo(result.outcome, out);
}

std::wstring notifyLine(const std::wstring& title)
{
    return L"notify " + title;
}

std::wstring newsLine(const std::wstring& id)
{
    return L"news " + id;
}

std::wstring errorLine(const std::wstring& kind, const std::wstring& address, const std::wstring& text)
{
    return L"error " + kind + L" error - " + address + L" | " + text;
}

std::wstring wide(const std::string& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (unsigned char c : text)
        result += static_cast<wchar_t>(c);
    return result;
}

std::string feedDocument(const std::string& channelTitle, const std::vector<HostileItem>& items)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n<channel>\n\t<title>" +
                       channelTitle + "</title>\n\t<link>http://example.org/</link>\n";
    for (const HostileItem& item : items) {
        text += "\t<item" + item.attributes + ">\n\t\t<title>" + item.title + "</title>\n\t\t<guid>" + item.guid +
                "</guid>\n\t\t<pubDate>" + kItemDate + "</pubDate>\n" + item.extra + "\t</item>\n";
    }
    return text + "</channel>\n</rss>\n";
}

void HostileRefresh::SetUp()
{
    _putenv("TZ=UTC0");
    _tzset();
    plugin.load(host.api());
    createPanel();
}

void HostileRefresh::takeBaseline(LoopbackServer& server)
{
    // One ordinary refresh first: what Wine and WinSock make once for good is made here.
    server.serve("/warm-up", feedDocument("Warm-up", {{"Ready", "ready", "", ""}}));
    ASSERT_EQ(refresh(server.url("/warm-up")).announcements,
              (std::vector<std::wstring>{notifyLine(L"Ready"), newsLine(L"ready")}));
    ASSERT_TRUE(pumpUntil([&] { return cleanersEnded(); }, std::chrono::seconds(10)));
    Sleep(100); // the cleaner thread itself ends right after its end line
    baseThreads_ = threadCount();
    baseHandles_ = handleCount();
    ASSERT_GT(baseHandles_, 0u) << "the handle table cannot be read";
}

void HostileRefresh::TearDown()
{
    // Unload waits for the workers; one still sending to this thread would wait with it.
    EXPECT_TRUE(pumpUntil([&] { return endedWorkers() == startedRefreshes_; }, std::chrono::seconds(30)));
    HttpClient::setLimits(FetchLimits{});
    EXPECT_GT(baseHandles_, 0u) << "no baseline was taken";
    if (baseHandles_ > 0) {
        const size_t threads = settledCount(&threadCount, baseThreads_);
        const size_t handles = settledCount(&handleCount, baseHandles_ + kHandleSlack);
        printf("threads %zu -> %zu, handles %zu -> %zu\n", baseThreads_, threads, baseHandles_, handles);
        EXPECT_LE(threads, baseThreads_) << "a thread outlived the test";
        EXPECT_LE(handles, baseHandles_ + kHandleSlack) << "handles leaked";
    }
    sendPanelEvent(kDestroyPanel, nullptr);
    plugin.unload();
}

void HostileRefresh::useLimits(uint32_t ioTimeoutMs, uint32_t deadlineMs, size_t maxResponseBytes)
{
    FetchLimits limits;
    limits.ioTimeoutMs = ioTimeoutMs;
    limits.deadlineMs = deadlineMs;
    limits.maxResponseBytes = maxResponseBytes;
    HttpClient::setLimits(limits);
}

RefreshOutcome HostileRefresh::refresh(const std::wstring& feedList, std::chrono::milliseconds limit)
{
    host.setValue(kFeedsKey, feedList);
    host.clearCalls();
    startedRefreshes_ = endedWorkers() + 1;
    TimerEvent event{};
    event.code = kNotifyingRefresh;
    EXPECT_EQ(onRefreshTimer(reinterpret_cast<intptr_t>(&event), 0, nullptr), 0);

    RefreshOutcome outcome;
    outcome.ended = pumpUntil([&] { return endedWorkers() == startedRefreshes_; }, limit);
    if (!outcome.ended)
        return outcome; // the worker may still write the store
    outcome.announcements = announcementsOf(host.calls());
    for (const Channel& channel : plugin.store.channels)
        outcome.channels.push_back(channel.title);
    return outcome;
}

size_t HostileRefresh::treeNodeCount() const
{
    HWND tree = plugin.panel.tree.load();
    return tree == nullptr ? 0 : static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0));
}

bool HostileRefresh::cleanersEnded() const
{
    size_t started = 0;
    size_t ended = 0;
    for (const RecordedCall& call : host.callsTo(L"WTW/Log")) {
        const std::wstring line = call.text(16);
        started += line.rfind(L"Starting cleaner thread ", 0) == 0;
        ended += line.rfind(L"Cleaner thread ", 0) == 0;
    }
    return started == ended;
}

size_t HostileRefresh::endedWorkers() const
{
    size_t ended = 0;
    for (const RecordedCall& call : host.callsTo(L"WTW/Log")) {
        const std::wstring line = call.text(16);
        if (line.rfind(L"Thread ", 0) == 0 && line.find(L" has ended") != std::wstring::npos)
            ++ended;
    }
    return ended;
}

void HostileRefresh::createPanel()
{
    initCommonControls();
    sendPanelEvent(kCreatePanel, parent.handle());
    ASSERT_NE(plugin.panel.tree.load(), nullptr);
}
