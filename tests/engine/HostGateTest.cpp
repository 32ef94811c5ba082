// The gate that worker-side host calls pass, which unload closes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "EngineTestKit.h"
#include "ManualEvent.h"
#include "Polling.h"
#include "WindowTestKit.h"
#include "services/HostGate.h"

namespace {

using Clock = std::chrono::steady_clock;

bool admitted(uint32_t generation)
{
    HostGate::Pass pass(generation);
    return static_cast<bool>(pass);
}

TEST(HostGate, AdmitsOnlyTheCurrentLoadWhileOpen)
{
    const uint32_t first = HostGate::open();
    const uint32_t second = first + 1;
    struct Step {
        const char* name;
        bool expected;
        bool found;
    };
    std::vector<Step> steps;
    steps.push_back({"open, own generation", true, admitted(first)});
    steps.push_back({"open, a later generation", false, admitted(second)});
    steps.push_back({"open, generation 0", false, admitted(0)});
    HostGate::close(0);
    steps.push_back({"closed, own generation", false, admitted(first)});
    EXPECT_EQ(HostGate::open(), second);
    steps.push_back({"reopened, earlier generation", false, admitted(first)});
    steps.push_back({"reopened, new generation", true, admitted(second)});
    EXPECT_TRUE(HostGate::isOpen(second));
    EXPECT_FALSE(HostGate::isOpen(first));
    for (const Step& step : steps)
        EXPECT_EQ(step.found, step.expected) << step.name;
    EXPECT_EQ(HostGate::passesInFlight(), 0u);
    HostGate::close(0);
}

TEST(HostGate, RefusedCallNeverReachesTheHost)
{
    RecordingHost host;
    const uint32_t generation = HostGate::open();
    EXPECT_TRUE(HostGate::call(generation, host.api(), L"WTW/Log", 0, 0));
    EXPECT_FALSE(HostGate::call(generation + 1, host.api(), L"WTW/Log", 0, 0));
    HostGate::close(0);
    EXPECT_FALSE(HostGate::call(generation, host.api(), L"WTW/Log", 0, 0));
    EXPECT_EQ(host.count(L"WTW/Log"), 1u);
}

TEST(HostGate, CloseWaitsForCallsInFlight)
{
    const uint32_t generation = HostGate::open();
    std::atomic<bool> entered{false};
    std::atomic<bool> leaving{false};
    std::thread caller([&] {
        HostGate::Pass pass(generation);
        entered = true;
        // Held until close has begun: it refuses new passes from then on.
        pollUntil([&] { return !HostGate::isOpen(generation); });
        leaving = true;
    });
    ASSERT_TRUE(pollUntil([&] { return entered.load(); }));
    EXPECT_TRUE(HostGate::close(10000));
    EXPECT_TRUE(leaving.load()) << "close returned while a call was still in flight";
    EXPECT_EQ(HostGate::passesInFlight(), 0u);
    caller.join();
}

TEST(HostGate, CloseGivesUpAfterItsBound)
{
    const uint32_t generation = HostGate::open();
    UniqueHandle release = manualEvent();
    ASSERT_NE(release.get(), nullptr);
    std::atomic<bool> entered{false};
    std::thread caller([&] {
        HostGate::Pass pass(generation);
        entered = true;
        WaitForSingleObject(release.get(), 20000);
    });
    ASSERT_TRUE(pollUntil([&] { return entered.load(); }));
    const auto start = Clock::now();
    EXPECT_FALSE(HostGate::close(200));
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(HostGate::passesInFlight(), 1u);
    SetEvent(release.get());
    caller.join();
    EXPECT_EQ(HostGate::passesInFlight(), 0u);
}

// A host call that needs the closing thread (a SendMessage to its window)
// finishes while close waits, instead of holding it to its bound.
TEST(HostGate, CloseHandlesMessagesSentToTheClosingThread)
{
    TestWindow window;
    ASSERT_NE(window.handle(), nullptr);
    const uint32_t generation = HostGate::open();
    std::atomic<bool> entered{false};
    LRESULT answer = 0;
    std::thread caller([&] {
        HostGate::Pass pass(generation);
        entered = true;
        answer = SendMessageW(window.handle(), WM_APP, 0, 0);
    });
    ASSERT_TRUE(pollUntil([&] { return entered.load(); }));
    const auto start = Clock::now();
    EXPECT_TRUE(HostGate::close(15000));
    EXPECT_LT(Clock::now() - start, 10s);
    caller.join();
    EXPECT_EQ(window.handled(), 1);
    EXPECT_EQ(answer, 42);
}

} // namespace
