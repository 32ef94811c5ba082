// The real library fetching a list several addresses at a time: how many
// exchanges overlap, the order in which the results are announced, a dead host
// among them, and unload in the middle of it all.
#include <gtest/gtest.h>

#include <memory>

#include "EngineTestKit.h"
#include "EventBytes.h"
#include "LoopbackServer.h"
#include "ManualEvent.h"
#include "PluginLibrary.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

const int64_t kBase = utcSeconds(2024, 6, 1, 8, 0, 0);
constexpr size_t kParallel = 8;
constexpr uint32_t kHoldLimitMs = 4000;

std::string feedPath(size_t i)
{
    return "/f" + std::to_string(i);
}

class ParallelRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.ready());
        ASSERT_EQ(library.load(host.api()), 0);
        timer = host.timerCallback();
        ASSERT_NE(timer, nullptr);
    }
    void TearDown() override
    {
        if (loaded)
            library.unload();
    }

    void startServer(const char* address) { server = std::make_unique<LoopbackServer>(address); }

    // `count` feeds of one item each, listed in path order after `first` lines.
    void serveFeeds(size_t count, std::vector<std::wstring> first = {})
    {
        std::wstring list;
        for (const std::wstring& line : first)
            list += line + L"\r\n";
        for (size_t i = 0; i < count; ++i) {
            const std::string name = "Item " + std::to_string(i);
            server->serve(feedPath(i),
                          rssDocument("Feed", {{name, "http://x/" + std::to_string(i), "g" + name, kBase}}));
            list += server->url(feedPath(i)) + L"\r\n";
        }
        host.setValue(kFeedsKey, list);
    }

    void fire(int32_t code = kNotifyingRefreshEvent)
    {
        EventBytes event = timerEvent(code);
        EXPECT_EQ(timer(event.address(), 0, nullptr), 0);
    }

    bool refreshed(size_t refreshes = 1)
    {
        return host.waitUntil([&](const auto& calls) { return endedWorkers(calls) == refreshes; }, 30s);
    }

    RecordingHost host;
    PluginLibrary library;
    std::unique_ptr<LoopbackServer> server;
    HostCallback timer = nullptr;
    bool loaded = true;
};

// Answers are held until eight requests wait together, so a list fetched one
// address after another never gets there; the first feed answers last.
TEST_F(ParallelRefresh, FetchesEightAtOnceAndAnnouncesInListOrder)
{
    constexpr size_t kFeeds = 13;
    startServer("127.0.5.90");
    serveFeeds(kFeeds);
    ScriptedResponse late = httpResponse(rssDocument("Feed", {{"Item 0", "http://x/0", "gItem 0", kBase}}));
    const std::string whole = late.chunks[0];
    late.chunks = {whole.substr(0, 20), whole.substr(20)};
    late.pauseBetweenChunksMs = 300;
    server->serve(feedPath(0), late);
    server->holdAnswersUntilWaiting(kParallel, kHoldLimitMs);

    fire();
    ASSERT_TRUE(refreshed());
    EXPECT_EQ(server->mostWaitingAtOnce(), kParallel);
    EXPECT_EQ(server->connectionCount(), kFeeds);
    std::vector<std::wstring> expected;
    for (size_t i = 0; i < kFeeds; ++i) {
        expected.push_back(notifyLine(L"Item " + std::to_wstring(i)));
        expected.push_back(newsLine(L"gItem " + std::to_wstring(i)));
    }
    EXPECT_EQ(announcements(host.calls()), expected);
}

// A host that holds its connection open leaves the others to be fetched
// meanwhile, but only as far as one outcome per fetch thread ahead of it: the
// documents held for the worker stay within that window, however long the
// list. Unload then ends the held fetch, nothing more is fetched, and
// nothing reaches the host after.
TEST_F(ParallelRefresh, DeadHostHoldsBackOnlyTheWindowAndUnloadEndsThemAll)
{
    constexpr size_t kFeeds = 30;
    startServer("127.0.5.91");
    ScriptedResponse silent;
    silent.mode = ScriptedResponse::Mode::Silent;
    server->serve("/dead", silent);
    serveFeeds(kFeeds, {server->url("/dead")});

    fire();
    EXPECT_TRUE(server->waitForFinished(kParallel - 1)) << "the fetches behind the dead host waited for it";
    EXPECT_TRUE(announcements(host.calls()).empty()) << "a later address was announced before the first one";

    const size_t before = host.calls().size();
    EXPECT_EQ(library.unload(), 0);
    loaded = false;
    EXPECT_TRUE(server->waitForFinished(kParallel)) << "the dead fetch stayed open";
    EXPECT_TRUE(library.release());
    EXPECT_TRUE(library.waitUnmapped(10s)) << "a fetch thread kept running";
    EXPECT_EQ(server->connectionCount(), kParallel) << "fetches ran ahead of the window, or after unload";
    EXPECT_EQ(host.serviceNames(before), kUnloadCalls) << "the library called the host after unload";
}

// Timer events during a long refresh: one more refresh waits, the others
// merge into it (a notifying one makes it notifying), so no worker piles up.
TEST_F(ParallelRefresh, EventsDuringALongRefreshMergeIntoTheOneWaiting)
{
    startServer("127.0.5.93");
    const UniqueHandle release = manualEvent();
    const std::string older = rssDocument("Long", {{"Old", "http://x/old", "old", kBase}});
    server->serve("/feed", [&](const std::string&) {
        WaitForSingleObject(release.get(), 30000);
        return httpResponse(server->connectionCount() == 1
                                ? older
                                : rssDocument("Long", {{"New", "http://x/new", "new", kBase + 60},
                                                       {"Old", "http://x/old", "old", kBase}}));
    });
    host.setValue(kFeedsKey, server->url("/feed"));

    fire(kSilentRefreshEvent);
    ASSERT_TRUE(server->waitForConnections(1));
    for (int i = 0; i < 20; ++i)
        fire(i == 10 ? kNotifyingRefreshEvent : kSilentRefreshEvent);
    SetEvent(release.get());
    ASSERT_TRUE(refreshed(2));
    EXPECT_EQ(announcements(host.calls()), (std::vector<std::wstring>{notifyLine(L"New"), newsLine(L"new")}));

    EXPECT_EQ(library.unload(), 0);
    loaded = false;
    EXPECT_TRUE(library.release());
    EXPECT_TRUE(library.waitUnmapped(10s)) << "a worker kept running";
    EXPECT_EQ(endedWorkers(host.calls()), 2u);
    EXPECT_EQ(server->connectionCount(), 2u) << "more than one refresh ran after the long one";
}

TEST_F(ParallelRefresh, UnloadCutsEveryFetchInFlightAndStartsNoMore)
{
    startServer("127.0.5.92");
    ScriptedResponse silent;
    silent.mode = ScriptedResponse::Mode::Silent;
    std::wstring list;
    for (size_t i = 0; i < kParallel + 4; ++i) {
        server->serve(feedPath(i), silent);
        list += server->url(feedPath(i)) + L"\r\n";
    }
    host.setValue(kFeedsKey, list);

    fire();
    ASSERT_TRUE(server->waitForConnections(kParallel));
    const size_t before = host.calls().size();
    EXPECT_EQ(library.unload(), 0);
    loaded = false;
    EXPECT_TRUE(server->waitForFinished(kParallel)) << "a fetch stayed open";
    EXPECT_TRUE(library.release());
    EXPECT_TRUE(library.waitUnmapped(10s)) << "a fetch thread kept running";
    EXPECT_EQ(server->connectionCount(), kParallel) << "addresses were fetched after unload";
    EXPECT_EQ(host.serviceNames(before), kUnloadCalls) << "the library called the host after unload";
}

} // namespace
