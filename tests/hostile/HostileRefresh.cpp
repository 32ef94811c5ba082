#include "HostileRefresh.h"

#include <cstdio>

#include "ProcessCounts.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

// Wine and WinSock create a few objects of their own on first use of a path
// (a timed-out receive, a reset); a leak per refresh shows as many more.
constexpr size_t kHandleSlack = 8;

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
    PluginUnderTest::SetUp();
    ASSERT_NE(createPanel(RECT{0, 0, 400, 300}), nullptr);
}

void HostileRefresh::takeBaseline(LoopbackServer& server)
{
    // One ordinary refresh first: what Wine and WinSock make once for good is made here.
    server.serve("/warm-up", feedDocument("Warm-up", {{"Ready", "ready", "", ""}}));
    ASSERT_EQ(refresh(server.url("/warm-up")).announcements,
              (std::vector<std::wstring>{notifyLine(L"Ready"), newsLine(L"ready")}));
    ASSERT_TRUE(waitForCleaners());
    // Settled: the worker and the cleaner, which write their last lines just before they end, are gone.
    ASSERT_TRUE(callingThreadsEnded(host.calls()));
    baseThreads_ = threadCount();
    baseHandles_ = handleCount();
    ASSERT_GT(baseHandles_, 0u) << "the handle table cannot be read";
}

void HostileRefresh::TearDown()
{
    EXPECT_TRUE(waitForRefreshes()) << "a refresh did not end";
    EXPECT_GT(baseHandles_, 0u) << "no baseline was taken";
    if (baseHandles_ > 0) {
        const size_t threads = settledCount(&threadCount, baseThreads_);
        const size_t handles = settledCount(&handleCount, baseHandles_ + kHandleSlack);
        printf("threads %zu -> %zu, handles %zu -> %zu\n", baseThreads_, threads, baseHandles_, handles);
        EXPECT_LE(threads, baseThreads_) << "a thread outlived the test";
        EXPECT_LE(handles, baseHandles_ + kHandleSlack) << "handles leaked";
    }
    PluginUnderTest::TearDown();
}

void HostileRefresh::useLimits(uint32_t ioTimeoutMs, uint32_t deadlineMs, size_t maxResponseBytes)
{
    FetchLimits limits;
    limits.ioTimeoutMs = ioTimeoutMs;
    limits.deadlineMs = deadlineMs;
    limits.maxResponseBytes = maxResponseBytes;
    plugin.fetches->setLimits(limits); // this load's: the next test loads anew
}

RefreshOutcome HostileRefresh::refresh(const std::wstring& feedList, std::chrono::milliseconds limit)
{
    host.setValue(kFeedsKey, feedList);
    host.clearCalls();
    startRefresh(kNotifyingRefresh);
    RefreshOutcome outcome;
    outcome.ended = waitForRefreshes(limit);
    if (!outcome.ended)
        return outcome; // the worker may still write the store
    outcome.announcements = announcements();
    outcome.channels = channelTitles();
    return outcome;
}

size_t HostileRefresh::treeNodeCount() const
{
    HWND tree = plugin.panel.tree.load();
    return tree == nullptr ? 0 : static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0));
}
