// The real DLL driven through its exports, as the messenger drives it.
#include <windows.h>

#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "TestPaths.h"

namespace {

using LoadFn = int (*)(DWORD, const HostApi*);
using UnloadFn = int (*)();

template <typename Fn>
Fn exportOf(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

TEST(DllExports, LoadUnloadTwiceThroughExports)
{
    RecordingHost host;
    HMODULE dll = LoadLibraryW(dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    auto load = exportOf<LoadFn>(dll, "pluginLoad");
    auto unload = exportOf<UnloadFn>(dll, "pluginUnload");
    ASSERT_TRUE(load && unload);
    EXPECT_EQ(GetProcAddress(dll, "DllMain"), nullptr);

    for (int round = 0; round < 2; ++round) {
        host.clearCalls();
        EXPECT_EQ(load(0, host.api()), 0);
        auto calls = host.calls();
        ASSERT_EQ(calls.size(), 6u) << round;
        // The module handle the DLL passes is its own, as its entry point stored it.
        EXPECT_EQ(calls[1].wParam, reinterpret_cast<intptr_t>(dll));
        EXPECT_EQ(calls[0].field<intptr_t>(56), reinterpret_cast<intptr_t>(dll));
        EXPECT_EQ(calls.back().service, L"WTW/Timer/Create");
        host.clearCalls();
        EXPECT_EQ(unload(), 0);
        EXPECT_EQ(host.serviceNames(), (std::vector<std::wstring>{L"WTW/RemoveOptionsPage", L"WTW/PanelDel",
                                                                  L"WTW/Timer/Destroy", L"WTW/Settings/Destroy"}));
    }
    EXPECT_TRUE(FreeLibrary(dll));
}

} // namespace
