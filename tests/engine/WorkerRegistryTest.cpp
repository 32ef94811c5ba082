// The registry of refresh workers and its cleaner thread, with worker threads
// the test holds and lets go of itself.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <thread>

#include "EngineTestKit.h"
#include "ManualEvent.h"
#include "engine/RefreshTask.h"
#include "engine/WorkerRegistry.h"
#include "services/HostLink.h"
#include "services/HostLog.h"

namespace {

using Counts = WorkerRegistry::Counts;

bool waitBegun(const Counts& counts)
{
    return counts.waitsBegun > 0;
}

bool allReaped(const Counts& counts)
{
    return counts.pendingTasks == 0 && !counts.cleanerRunning;
}

// A thread that runs until released. The registry gets its handle; the test
// keeps a duplicate to see the thread end after the registry closed its own.
class HeldThread {
public:
    HeldThread()
        : release_(manualEvent()), thread_(CreateThread(nullptr, 0, &HeldThread::main, release_.get(), 0, nullptr))
    {
        DuplicateHandle(GetCurrentProcess(), thread_, GetCurrentProcess(), watch_.put(), 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    }
    ~HeldThread()
    {
        letGo();
        WaitForSingleObject(watch_.get(), 5000);
    }
    HeldThread(const HeldThread&) = delete;
    HeldThread& operator=(const HeldThread&) = delete;

    bool valid() const { return release_.get() && thread_ && watch_.get(); }
    HANDLE handle() const { return thread_; }
    void letGo() { SetEvent(release_.get()); }
    bool ended(DWORD waitMs = 5000) const { return WaitForSingleObject(watch_.get(), waitMs) == WAIT_OBJECT_0; }

    std::unique_ptr<RefreshTask> task() const
    {
        auto task = std::make_unique<RefreshTask>();
        task->thread.reset(thread_);
        return task;
    }

private:
    static DWORD WINAPI main(LPVOID release)
    {
        WaitForSingleObject(static_cast<HANDLE>(release), 30000);
        return 0;
    }
    UniqueHandle release_;
    HANDLE thread_ = nullptr; // the registry's to close
    UniqueHandle watch_;
};

class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry = WorkerRegistry::create(link);
    }
    void TearDown() override
    {
        if (registry)
            registry->teardown(10000);
        link->close(0);
    }

    std::vector<std::wstring> log() const { return logMessages(host.calls()); }

    // The cleaner's handle as its start line shows it.
    static std::wstring cleanerOf(const std::wstring& startLine)
    {
        std::wsmatch match;
        static const std::wregex start(L"Starting cleaner thread ([0-9A-F]{16})");
        return std::regex_match(startLine, match, start) ? match[1].str() : L"(no start line)";
    }

    RecordingHost host;
    std::shared_ptr<HostLink> link = std::make_shared<HostLink>(host.api());
    std::shared_ptr<WorkerRegistry> registry;
};

TEST_F(Registry, LogShowsStartReapedAndEndedInOrder)
{
    HeldThread worker;
    ASSERT_TRUE(worker.valid());
    registry->registerWorker(worker.task());
    worker.letGo();
    ASSERT_TRUE(waitForCleanerEnds(host, 1));

    const auto lines = log();
    ASSERT_EQ(lines.size(), 3u);
    const std::wstring cleaner = cleanerOf(lines[0]);
    EXPECT_NE(cleaner, pointerText(nullptr));
    EXPECT_EQ(lines[1], L"Thread " + pointerText(worker.handle()) + L" has ended");
    EXPECT_EQ(lines[2], L"Cleaner thread " + cleaner + L" has ended");
    for (const RecordedCall& call : host.callsTo(L"WTW/Log")) {
        EXPECT_EQ(call.field<int32_t>(4), 1);
        EXPECT_EQ(call.text(8), L"RSS");
    }
    EXPECT_EQ(registry->pendingTasks(), 0u);

    // A later registration starts a new cleaner with a new start line.
    HeldThread later;
    registry->registerWorker(later.task());
    later.letGo();
    ASSERT_TRUE(waitForCleanerEnds(host, 2));
    const auto all = log();
    ASSERT_EQ(all.size(), 6u);
    EXPECT_EQ(cleanerOf(all[3]).size(), 16u);
    EXPECT_EQ(all[4], L"Thread " + pointerText(later.handle()) + L" has ended");
    EXPECT_EQ(all[5], L"Cleaner thread " + cleanerOf(all[3]) + L" has ended");
}

TEST_F(Registry, NewestWorkerIsReapedFirstWhenTwoOverlap)
{
    HeldThread older;
    HeldThread newer;
    registry->registerWorker(older.task());
    registry->registerWorker(newer.task());
    // A wait begun after both registrations is on the newer worker, whatever came first.
    const size_t registered = registry->waitsBegun();
    ASSERT_TRUE(registry->waitUntil([&](const Counts& c) { return c.waitsBegun > registered; }, 10000));
    older.letGo();
    ASSERT_TRUE(older.ended());
    // The next wait begins once that one's slice is over: the older worker was not reaped meanwhile.
    const size_t afterRelease = registry->waitsBegun();
    ASSERT_TRUE(registry->waitUntil([&](const Counts& c) { return c.waitsBegun > afterRelease; }, 10000));
    EXPECT_EQ(log().size(), 1u) << "the older worker was reaped while the newer one ran";
    EXPECT_EQ(registry->pendingTasks(), 2u);
    newer.letGo();
    ASSERT_TRUE(waitForCleanerEnds(host, 1));
    const auto lines = log();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], L"Thread " + pointerText(newer.handle()) + L" has ended");
    EXPECT_EQ(lines[2], L"Thread " + pointerText(older.handle()) + L" has ended");
    EXPECT_EQ(lines[3], L"Cleaner thread " + cleanerOf(lines[0]) + L" has ended");
}

// The reaped task is taken out of the stack although a newer one sits above it.
TEST_F(Registry, TaskReapedFromBelowANewerOne)
{
    HeldThread older;
    HeldThread newer;
    registry->registerWorker(older.task());
    ASSERT_TRUE(registry->waitUntil(waitBegun, 10000)); // waiting on the older worker
    registry->registerWorker(newer.task());
    older.letGo();
    ASSERT_TRUE(host.waitUntil([](const std::vector<RecordedCall>& calls) { return endedWorkers(calls) == 1; }, 5s));
    // The removal follows the line.
    EXPECT_TRUE(registry->waitUntil([](const Counts& c) { return c.pendingTasks == 1; }, 5000)) << registry->pendingTasks();
    EXPECT_TRUE(registry->cleanerRunning());
    newer.letGo();
    ASSERT_TRUE(waitForCleanerEnds(host, 1));
    const auto lines = log();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], L"Thread " + pointerText(older.handle()) + L" has ended");
    EXPECT_EQ(lines[2], L"Thread " + pointerText(newer.handle()) + L" has ended");
    EXPECT_EQ(registry->pendingTasks(), 0u);
}

TEST_F(Registry, TaskWithoutThreadIsFreedButACleanerStillStarts)
{
    registry->registerWorker(std::make_unique<RefreshTask>());
    EXPECT_EQ(registry->pendingTasks(), 0u);
    ASSERT_TRUE(waitForCleanerEnds(host, 1));
    const auto lines = log();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], L"Cleaner thread " + cleanerOf(lines[0]) + L" has ended");
}

// Registrations that meet a cleaner just finding the stack empty are reaped all the same.
TEST_F(Registry, RegistrationsRacingTheCleanersEndAreAllReaped)
{
    constexpr int kRounds = 100;
    for (int round = 0; round < kRounds; ++round) {
        HANDLE thread = CreateThread(
            nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, 5000); // ended before registration: reaped at once
        auto task = std::make_unique<RefreshTask>();
        task->thread.reset(thread);
        registry->registerWorker(std::move(task));
        for (volatile int spin = 0; spin < (round % 17) * 500; spin = spin + 1) {
        }
    }
    EXPECT_TRUE(registry->waitUntil(allReaped, 10000));
    EXPECT_EQ(registry->pendingTasks(), 0u);
    EXPECT_FALSE(registry->cleanerRunning());
    // A cleaner marks itself ended under the lock and writes its end line
    // after: the last line may still be on its way.
    EXPECT_TRUE(host.waitUntil([](const std::vector<RecordedCall>& calls) { return cleanersEnded(calls); }, 10s));
    EXPECT_EQ(endedWorkers(host.calls()), static_cast<size_t>(kRounds));
}

// A registration that comes while the cleaner writes its end line (it has
// found the stack empty) is reaped without waiting for another registration.
TEST_F(Registry, RegistrationDuringTheCleanersEndLineIsReaped)
{
    UniqueHandle ending = manualEvent();
    UniqueHandle goOn = manualEvent();
    ASSERT_TRUE(ending.get() && goOn.get());
    host.setResponder([&](const RecordedCall& call) -> std::optional<intptr_t> {
        if (call.service == L"WTW/Log" && call.text(16).rfind(L"Cleaner thread ", 0) == 0 &&
            WaitForSingleObject(ending.get(), 0) != WAIT_OBJECT_0) {
            SetEvent(ending.get());
            WaitForSingleObject(goOn.get(), 10000);
        }
        return std::nullopt;
    });
    HeldThread first;
    registry->registerWorker(first.task());
    first.letGo();
    ASSERT_EQ(WaitForSingleObject(ending.get(), 10000), WAIT_OBJECT_0);

    HeldThread second;
    second.letGo();
    ASSERT_TRUE(second.ended());
    registry->registerWorker(second.task());
    SetEvent(goOn.get());

    EXPECT_TRUE(registry->waitUntil([](const Counts& c) { return c.pendingTasks == 0; }, 5000))
        << "the task registered during the cleaner's end was left behind";
    EXPECT_TRUE(waitForCleanerEnds(host, 2));
    EXPECT_EQ(countLogLines(host.calls(), L"Thread " + pointerText(second.handle())), 1u);
    host.setResponder(nullptr);
}

TEST_F(Registry, TeardownWithoutCleanerDoesNotWait)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(registry->teardown(15000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(host.calls().empty());
}

TEST_F(Registry, TeardownWaitsForTheCleaner)
{
    HeldThread worker;
    registry->registerWorker(worker.task());
    std::thread releaser([&] {
        registry->waitUntil(waitBegun, 10000); // the cleaner waits on the worker
        worker.letGo();
    });
    EXPECT_TRUE(registry->teardown(10000));
    releaser.join();
    EXPECT_FALSE(registry->cleanerRunning());
    EXPECT_EQ(registry->pendingTasks(), 0u);
    EXPECT_EQ(countLogLines(host.calls(), L"Cleaner thread "), 1u);
}

// A teardown that times out frees nothing the cleaner still uses: the cleaner
// keeps the registry alive, finishes its work and lets go of it at the end.
TEST_F(Registry, TeardownTimeoutLeavesTheRegistryToItsCleaner)
{
    HeldThread worker;
    registry->registerWorker(worker.task());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(registry->teardown(300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(registry->cleanerRunning());
    std::weak_ptr<WorkerRegistry> watch = registry;
    registry.reset();
    EXPECT_FALSE(watch.expired()) << "the registry was freed under its running cleaner";
    worker.letGo();
    ASSERT_TRUE(waitForCleanerEnds(host, 1));
    ASSERT_TRUE(callingThreadsEnded(host.calls())); // the cleaner lets go of the registry before it ends
    EXPECT_TRUE(watch.expired()) << "the cleaner kept the registry after it ended";
}

// Once the gate is closed, a cleaner still running writes nothing to the host.
TEST_F(Registry, ClosedGateSilencesTheCleaner)
{
    HeldThread worker;
    registry->registerWorker(worker.task());
    link->close(0);
    const size_t before = host.calls().size();
    worker.letGo();
    ASSERT_TRUE(worker.ended());
    EXPECT_TRUE(registry->waitUntil(allReaped, 5000));
    EXPECT_EQ(registry->pendingTasks(), 0u);
    EXPECT_EQ(host.calls().size(), before);
}

} // namespace
