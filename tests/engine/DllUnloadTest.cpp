// The real library, driven through its exports: unload and FreeLibrary while a
// refresh worker is still busy must neither crash the process nor reach the host.
#include <gtest/gtest.h>

#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "TestPaths.h"
#include "core/EventRecords.h"
#include "core/SettingsStore.h"

namespace {

using Names = std::vector<std::wstring>;
using Clock = std::chrono::steady_clock;
using LoadFn = int (*)(DWORD, const HostApi*);
using UnloadFn = int (*)();

const Names kUnloadCalls = {L"WTW/RemoveOptionsPage", L"WTW/PanelDel", L"WTW/Timer/Destroy", L"WTW/Settings/Destroy"};

template <typename Fn>
Fn exportOf(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class DllRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        library = LoadLibraryW(path.c_str());
        ASSERT_NE(library, nullptr);
        load = exportOf<LoadFn>(library, "pluginLoad");
        unload = exportOf<UnloadFn>(library, "pluginUnload");
        ASSERT_TRUE(load && unload && GetProcAddress(library, "queryPlugInfo"));
        ASSERT_EQ(load(0, host.api()), 0);
        auto timers = host.callsTo(L"WTW/Timer/Create");
        ASSERT_EQ(timers.size(), 1u);
        timer = reinterpret_cast<HostCallback>(timers[0].field<intptr_t>(24));
        ASSERT_NE(timer, nullptr);
    }
    void TearDown() override
    {
        if (library != nullptr && mapped())
            FreeLibrary(library);
    }

    intptr_t fire(int32_t code)
    {
        TimerEvent event{};
        event.code = code;
        return timer(reinterpret_cast<intptr_t>(&event), 0, nullptr);
    }
    bool mapped() const { return GetModuleHandleW(path.c_str()) != nullptr; }

    // Calls recorded from index `from` on, by service name.
    Names servicesFrom(size_t from) const
    {
        const auto calls = host.calls();
        Names names;
        for (size_t i = from; i < calls.size(); ++i)
            names.push_back(calls[i].service);
        return names;
    }

    const std::wstring path = dllPath();
    RecordingHost host;
    HMODULE library = nullptr;
    LoadFn load = nullptr;
    UnloadFn unload = nullptr;
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
    ASSERT_TRUE(pollUntil([&] { return server.connectionCount() == 1; }));
    ASSERT_TRUE(hasLogLine(host.calls(), L"Starting cleaner thread "));

    const size_t before = host.calls().size();
    const auto start = Clock::now();
    EXPECT_EQ(unload(), 0);
    EXPECT_LT(Clock::now() - start, 10s);
    const Names duringUnload = servicesFrom(before);
    EXPECT_TRUE(FreeLibrary(library));
    library = nullptr;

    EXPECT_TRUE(pollUntil([&] { return server.finishedCount() == 1; }, 10s)) << "the worker's connection stayed open";
    EXPECT_TRUE(pollUntil([&] { return !mapped(); }, 10s)) << "a thread of the library kept running";
    EXPECT_EQ(duringUnload, kUnloadCalls);
    EXPECT_EQ(servicesFrom(before), kUnloadCalls) << "the library called the host after unload";
}

// A worker held inside a host call outlasts unload's bounded wait. The host then
// frees the library; the worker's thread keeps it mapped, returns into it when
// the call ends, stops without another host call, and the library goes with it.
TEST_F(DllRefresh, LibraryFreedUnderARunningWorkerStaysMappedUntilItEnds)
{
    LoopbackServer server("127.0.5.51"); // 404: the worker's error notification is the call it is held in
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(entered && release);
    DWORD workerId = 0;
    host.setResponder([&](const RecordedCall& call) -> std::optional<intptr_t> {
        if (call.service == L"WTW/ShowStandardNotify") {
            workerId = call.threadId;
            SetEvent(entered);
            WaitForSingleObject(release, 60000);
        }
        return std::nullopt;
    });
    host.setValue(kFeedsKey, server.url("/missing") + L"\r\n" + server.url("/missing-too"));
    EXPECT_EQ(fire(3), 0);
    ASSERT_EQ(WaitForSingleObject(entered, 10000), WAIT_OBJECT_0);
    HANDLE worker = OpenThread(SYNCHRONIZE, FALSE, workerId);
    ASSERT_NE(worker, nullptr);

    const size_t before = host.calls().size();
    const auto start = Clock::now();
    EXPECT_EQ(unload(), 0);
    EXPECT_LT(Clock::now() - start, 20s) << "unload's wait is bounded";
    EXPECT_EQ(WaitForSingleObject(worker, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the worker should still be held";
    EXPECT_TRUE(FreeLibrary(library));
    library = nullptr;
    EXPECT_TRUE(mapped()) << "the library was unmapped under a running worker";

    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(worker, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(pollUntil([&] { return !mapped(); }, 10s)) << "the last thread did not let go of the library";
    EXPECT_EQ(servicesFrom(before), kUnloadCalls) << "the library called the host after unload";
    EXPECT_EQ(server.connectionCount(), 1u) << "the worker went on to the next address after unload";
    host.setResponder(nullptr);
    CloseHandle(worker);
    CloseHandle(entered);
    CloseHandle(release);
}

} // namespace
