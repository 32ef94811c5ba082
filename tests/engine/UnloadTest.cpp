// Unload while refreshes run: fetches cut short, the host left alone afterwards.
#include <gtest/gtest.h>

#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "ManualEvent.h"
#include "PluginUnderTest.h"
#include "ProcessCounts.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

using Clock = std::chrono::steady_clock;

ScriptedResponse silent()
{
    ScriptedResponse response;
    response.mode = ScriptedResponse::Mode::Silent;
    return response;
}

class Unload : public PluginUnderTest {
protected:
    void SetUp() override
    {
        PluginUnderTest::SetUp();
        host.clearCalls();
    }
};

TEST_F(Unload, CutsASlowFetchShortAndLeavesTheHostAlone)
{
    LoopbackServer server("127.0.5.40");
    server.serve("/slow", silent());
    host.setValue(kFeedsKey, server.url("/slow"));
    fireTimer(3);
    ASSERT_TRUE(server.waitForConnections(1));
    const std::vector<RecordedCall> workerCalls = host.calls(); // the worker's list read among them
    host.clearCalls();

    const auto start = Clock::now();
    EXPECT_EQ(unload(), 0);
    EXPECT_LT(Clock::now() - start, 10s) << "unload waited on the slow server";
    EXPECT_EQ(plugin.workers, nullptr);
    EXPECT_TRUE(server.waitForFinished(1, 5s)) << "the fetch was not cut short";
    ASSERT_TRUE(callingThreadsEnded(workerCalls)) << "the worker did not end";
    // No error notification for the cut fetch, no log line, no settings read after unload.
    EXPECT_EQ(host.serviceNames(), kUnloadCalls);
    const size_t threads = threadCount();
    EXPECT_EQ(fireTimer(3), 0);
    EXPECT_LE(threadCount(), threads) << "a timer event after unload started a thread";
    EXPECT_EQ(host.serviceNames(), kUnloadCalls) << "a timer event after unload started a refresh";
}

// A worker's host call that needs the unloading thread (a SendMessage to its
// window) completes during unload instead of holding unload to its bound.
TEST_F(Unload, HostCallNeedingTheUnloadingThreadCompletes)
{
    LoopbackServer server("127.0.5.41"); // answers 404: one error notification
    ASSERT_NE(parent.handle(), nullptr);
    UniqueHandle entered = manualEvent();
    ASSERT_NE(entered.get(), nullptr);
    host.setResponder([&](const RecordedCall& call) -> std::optional<intptr_t> {
        if (call.service == L"WTW/ShowStandardNotify") {
            SetEvent(entered.get());
            SendMessageW(parent.handle(), WM_APP, 0, 0);
        }
        return std::nullopt;
    });
    host.setValue(kFeedsKey, server.url("/missing"));
    fireTimer(1);
    ASSERT_EQ(WaitForSingleObject(entered.get(), 10000), WAIT_OBJECT_0);

    const size_t before = host.calls().size();
    const auto start = Clock::now();
    unload();
    EXPECT_LT(Clock::now() - start, 10s);
    EXPECT_EQ(parent.handled(), 1);
    ASSERT_TRUE(callingThreadsEnded(host.calls())) << "the worker did not end";
    EXPECT_EQ(host.serviceNames(before), kUnloadCalls);
    host.setResponder(nullptr);
}

// A later load works as before: the gate and the fetches are open again.
TEST_F(Unload, RefreshesWorkAgainAfterTheNextLoad)
{
    LoopbackServer server("127.0.5.42");
    server.serve("/slow", silent());
    const int64_t date = utcSeconds(2024, 1, 2, 3, 4, 5);
    server.serve("/feed", rssDocument("Again", {{"Back", "http://x/b", "b", date}}));
    host.setValue(kFeedsKey, server.url("/slow"));
    fireTimer(3);
    ASSERT_TRUE(server.waitForConnections(1));
    unload();

    load();
    host.setValue(kFeedsKey, server.url("/feed"));
    host.clearCalls();
    fireTimer(3);
    ASSERT_TRUE(waitForCleanerEnds(host, 1));
    EXPECT_EQ(announcements(), (std::vector<std::wstring>{L"notify Back", L"news b"}));
    EXPECT_EQ(plugin.store.lastSeenFor(server.url("/feed")), date);
}

} // namespace
