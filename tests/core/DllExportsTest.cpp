// The real DLL driven through its exports, as the messenger drives it.
#include <windows.h>

#include <gtest/gtest.h>

#include "PluginLibrary.h"
#include "RecordingHost.h"

namespace {

TEST(DllExports, LoadUnloadTwiceThroughExports)
{
    RecordingHost host;
    PluginLibrary dll;
    ASSERT_NE(dll.module(), nullptr);
    ASSERT_TRUE(dll.ready());
    EXPECT_EQ(dll.exported("DllMain"), nullptr);

    for (int round = 0; round < 2; ++round) {
        host.clearCalls();
        EXPECT_EQ(dll.load(host.api()), 0);
        auto calls = host.calls();
        ASSERT_EQ(calls.size(), 6u) << round;
        // The module handle the DLL passes is its own, as its entry point stored it.
        EXPECT_EQ(calls[1].wParam, reinterpret_cast<intptr_t>(dll.module()));
        EXPECT_EQ(calls[0].field<intptr_t>(56), reinterpret_cast<intptr_t>(dll.module()));
        EXPECT_EQ(calls.back().service, L"WTW/Timer/Create");
        host.clearCalls();
        EXPECT_EQ(dll.unload(), 0);
        EXPECT_EQ(host.serviceNames(), (std::vector<std::wstring>{L"WTW/RemoveOptionsPage", L"WTW/PanelDel",
                                                                  L"WTW/Timer/Destroy", L"WTW/Settings/Destroy"}));
    }
    EXPECT_TRUE(dll.release());
}

} // namespace
