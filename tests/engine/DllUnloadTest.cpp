// The real library, driven through its exports: unload and FreeLibrary while a
// refresh worker is still busy must neither crash the process nor reach the host.
#include <gtest/gtest.h>

#include "EngineTestKit.h"
#include "EventBytes.h"
#include "LoopbackServer.h"
#include "ManualEvent.h"
#include "PluginLibrary.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

using Clock = std::chrono::steady_clock;

class DllRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.ready());
        ASSERT_NE(library.exported("queryPlugInfo"), nullptr);
        ASSERT_EQ(library.load(host.api()), 0);
        ASSERT_EQ(host.count(L"WTW/Timer/Create"), 1u);
        timer = host.timerCallback();
        ASSERT_NE(timer, nullptr);
    }

    intptr_t fire(int32_t code)
    {
        EventBytes event = timerEvent(code);
        return timer(event.address(), 0, nullptr);
    }

    RecordingHost host;
    PluginLibrary library;
    HostCallback timer = nullptr;
};

TEST_F(DllRefresh, UnloadAndFreeLibraryWhileAWorkerWaitsOnASilentServer)
{
    LoopbackServer server("127.0.5.50");
    ScriptedResponse silent;
    silent.mode = ScriptedResponse::Mode::Silent;
    server.serve("/silent", silent);
    host.setValue(kFeedsKey, server.url("/silent"));
    EXPECT_EQ(fire(3), 0);
    ASSERT_TRUE(server.waitForConnections(1));
    ASSERT_TRUE(hasLogLine(host.calls(), L"Starting cleaner thread "));

    const size_t before = host.calls().size();
    const auto start = Clock::now();
    EXPECT_EQ(library.unload(), 0);
    EXPECT_LT(Clock::now() - start, 10s);
    const auto duringUnload = host.serviceNames(before);
    EXPECT_TRUE(library.release());

    EXPECT_TRUE(server.waitForFinished(1)) << "the worker's connection stayed open";
    EXPECT_TRUE(library.waitUnmapped(10s)) << "a thread of the library kept running";
    EXPECT_EQ(duringUnload, kUnloadCalls);
    EXPECT_EQ(host.serviceNames(before), kUnloadCalls) << "the library called the host after unload";
}

// A worker held inside a host call outlasts unload's bounded wait. The host then
// frees the library; the worker's thread keeps it mapped, returns into it when
// the call ends, stops without another host call, and the library goes with it.
TEST_F(DllRefresh, LibraryFreedUnderARunningWorkerStaysMappedUntilItEnds)
{
    LoopbackServer server("127.0.5.51"); // 404: the worker's error notification is the call it is held in
    UniqueHandle entered = manualEvent();
    UniqueHandle release = manualEvent();
    ASSERT_TRUE(entered.get() && release.get());
    DWORD workerId = 0;
    host.setResponder([&](const RecordedCall& call) -> std::optional<intptr_t> {
        if (call.service == L"WTW/ShowStandardNotify") {
            workerId = call.threadId;
            SetEvent(entered.get());
            WaitForSingleObject(release.get(), 60000);
        }
        return std::nullopt;
    });
    host.setValue(kFeedsKey, server.url("/missing") + L"\r\n" + server.url("/missing-too"));
    EXPECT_EQ(fire(3), 0);
    ASSERT_EQ(WaitForSingleObject(entered.get(), 10000), WAIT_OBJECT_0);
    UniqueHandle worker{OpenThread(SYNCHRONIZE, FALSE, workerId)};
    ASSERT_NE(worker.get(), nullptr);
    // The second address is fetched alongside the first; only its check waits.
    ASSERT_TRUE(server.waitForFinished(2));

    const size_t before = host.calls().size();
    const auto start = Clock::now();
    EXPECT_EQ(library.unload(), 0);
    EXPECT_LT(Clock::now() - start, 20s) << "unload's wait is bounded";
    EXPECT_EQ(WaitForSingleObject(worker.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the worker should still be held";
    EXPECT_TRUE(library.release());
    EXPECT_TRUE(library.mapped()) << "the library was unmapped under a running worker";

    SetEvent(release.get());
    EXPECT_EQ(WaitForSingleObject(worker.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(library.waitUnmapped(10s)) << "the last thread did not let go of the library";
    EXPECT_EQ(host.serviceNames(before), kUnloadCalls) << "the library called the host after unload";
    EXPECT_EQ(server.connectionCount(), 2u) << "an address was fetched again after unload";
    host.setResponder(nullptr);
}

} // namespace
