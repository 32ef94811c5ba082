// The link of one load, whose gate worker-side host calls pass and unload closes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "EngineTestKit.h"
#include "ManualEvent.h"
#include "WindowTestKit.h"
#include "LogLines.h"
#include "services/HostLink.h"

namespace {

using Clock = std::chrono::steady_clock;

bool admitted(const HostLink& link)
{
    HostLink::Pass pass(link);
    return static_cast<bool>(pass);
}

// Each load has its own link: closing one never opens or closes another, and
// neither calls nor log lines pass a closed one.
TEST(HostLink, AdmitsOnlyWhileItsLoadIsOpen)
{
    RecordingHost host;
    HostLink earlier(host.api());
    HostLink current(host.api());
    EXPECT_TRUE(earlier.close(0));
    EXPECT_FALSE(admitted(earlier));
    EXPECT_TRUE(admitted(current));
    EXPECT_TRUE(current.call(L"Test/Call", 0, 0));
    EXPECT_TRUE(current.log(1, L"RSS", L"line %d", 1));
    EXPECT_FALSE(earlier.call(L"Test/Call", 0, 0));
    EXPECT_FALSE(earlier.log(1, L"RSS", L"line %d", 2));
    EXPECT_TRUE(current.close(0));
    EXPECT_FALSE(admitted(current));
    EXPECT_FALSE(current.log(1, L"RSS", L"line %d", 3));
    EXPECT_EQ(logMessages(host.calls()), (std::vector<std::wstring>{L"line 1"}));
    EXPECT_EQ(host.count(L"Test/Call"), 1u);
    EXPECT_EQ(current.passesInFlight(), 0u);
}

TEST(HostLink, CloseGivesUpAfterItsBound)
{
    RecordingHost host;
    HostLink link(host.api());
    UniqueHandle entered = manualEvent();
    UniqueHandle release = manualEvent();
    ASSERT_TRUE(entered && release);
    std::thread caller([&] {
        HostLink::Pass pass(link);
        SetEvent(entered.get());
        WaitForSingleObject(release.get(), 20000);
    });
    ASSERT_EQ(WaitForSingleObject(entered.get(), 10000), WAIT_OBJECT_0);
    const auto start = Clock::now();
    EXPECT_FALSE(link.close(200));
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(link.passesInFlight(), 1u);
    SetEvent(release.get());
    caller.join();
    EXPECT_EQ(link.passesInFlight(), 0u);
}

// Close waits for a call in flight, and a call that needs the closing thread
// (a SendMessage to its window) finishes while close waits instead of holding
// it to its bound. The message is answered only once close pumps, so the
// caller also sees that close already refuses new passes.
TEST(HostLink, CloseWaitsForCallsInFlightAndHandlesMessagesSentToTheClosingThread)
{
    TestWindow window;
    ASSERT_NE(window.handle(), nullptr);
    RecordingHost host;
    HostLink link(host.api());
    UniqueHandle entered = manualEvent();
    ASSERT_TRUE(entered);
    LRESULT answer = 0;
    bool closedWhileInFlight = false;
    std::atomic<bool> leaving{false};
    std::thread caller([&] {
        HostLink::Pass pass(link);
        SetEvent(entered.get());
        answer = SendMessageW(window.handle(), WM_APP, 0, 0);
        closedWhileInFlight = !link.isOpen();
        leaving = true;
    });
    ASSERT_EQ(WaitForSingleObject(entered.get(), 10000), WAIT_OBJECT_0);
    const auto start = Clock::now();
    EXPECT_TRUE(link.close(15000));
    EXPECT_LT(Clock::now() - start, 10s);
    EXPECT_TRUE(leaving.load()) << "close returned while a call was still in flight";
    EXPECT_EQ(link.passesInFlight(), 0u);
    caller.join();
    EXPECT_TRUE(closedWhileInFlight);
    EXPECT_EQ(window.handled(), 1);
    EXPECT_EQ(answer, 42);
}

} // namespace
