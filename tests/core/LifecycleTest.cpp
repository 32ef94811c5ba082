// Load and unload: the host calls in their order, with their records.
#include <windows.h>

#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "core/Plugin.h"
#include "core/PluginInfo.h"
#include "core/RefreshTimer.h"
#include "services/SettingsStore.h"
#include "ui/FeedPanel.h"
#include "ui/OptionsPage.h"

namespace {

using Names = std::vector<std::wstring>;

const Names kLoadOrder = {L"WTW/Graph/Load",    L"WTW/AddOptionsPage", L"WTW/PanelAdd", L"WTW/Settings/GetMyConfigFile",
                          L"WTW/Settings/Init", L"WTW/Timer/Create"};

template <typename Fn>
intptr_t pointerValue(Fn fn)
{
    return reinterpret_cast<intptr_t>(fn);
}

class Lifecycle : public ::testing::Test {
protected:
    void TearDown() override { Plugin::instance().unload(); }
    RecordingHost host;
    Plugin& plugin = Plugin::instance();
    intptr_t module = reinterpret_cast<intptr_t>(Plugin::instance().module);
};

TEST_F(Lifecycle, LoadCallsServicesInOrderWithTheirRecords)
{
    ASSERT_EQ(plugin.load(host.api()), 0);
    ASSERT_EQ(host.serviceNames(), kLoadOrder);
    auto calls = host.calls();

    const RecordedCall& image = calls[0];
    ASSERT_EQ(image.record.size(), 72u);
    EXPECT_EQ(image.text(8), L"Image/quillFeed");
    EXPECT_EQ(image.field<intptr_t>(48), 107);
    EXPECT_EQ(image.field<intptr_t>(56), module);
    for (size_t offset : {16, 24, 32, 40, 64})
        EXPECT_EQ(image.field<uint64_t>(offset), 0u) << offset;

    const RecordedCall& page = calls[1];
    EXPECT_EQ(page.wParam, module);
    ASSERT_EQ(page.record.size(), 80u);
    EXPECT_EQ(page.text(8), L"quillFeed");
    EXPECT_EQ(page.text(16), L"WTW/Group/Plugz");
    EXPECT_EQ(page.text(24), L"RSS");
    EXPECT_EQ(page.text(48), L"Image/quillFeed");
    EXPECT_EQ(page.field<intptr_t>(56), pointerValue(&OptionsPage::onEvent));
    EXPECT_EQ(page.field<intptr_t>(64), reinterpret_cast<intptr_t>(&plugin));
    EXPECT_EQ(page.field<uint64_t>(32) | page.field<uint64_t>(40) | page.field<uint64_t>(72), 0u);

    const RecordedCall& panel = calls[2];
    ASSERT_EQ(panel.record.size(), 72u);
    EXPECT_EQ(panel.text(16), L"Image/quillFeed");
    EXPECT_EQ(panel.text(32), L"quillFeed");
    EXPECT_EQ(panel.text(40), L"RSS");
    EXPECT_EQ(panel.field<intptr_t>(56), pointerValue(&FeedPanel::onEvent));
    EXPECT_EQ(panel.field<intptr_t>(64), reinterpret_cast<intptr_t>(&plugin));
    EXPECT_EQ(panel.field<uint64_t>(8) | panel.field<uint64_t>(24) | panel.field<uint64_t>(48), 0u);

    const RecordedCall& configPath = calls[3];
    ASSERT_EQ(configPath.record.size(), 32u);
    EXPECT_EQ(configPath.field<uint32_t>(16), 261u);
    EXPECT_EQ(configPath.lParam, module);
    EXPECT_EQ(calls[4].textArgument, host.configPath());
    EXPECT_EQ(calls[4].lParam, module);

    const RecordedCall& timer = calls[5];
    ASSERT_EQ(timer.record.size(), 48u);
    EXPECT_EQ(timer.text(8), L"quillFeed/feedRefreshTimer");
    EXPECT_EQ(timer.field<uint32_t>(16), 300000u);
    EXPECT_EQ(timer.field<intptr_t>(24), pointerValue(&onRefreshTimer));
    EXPECT_EQ(timer.field<uint64_t>(32) | timer.field<uint64_t>(40), 0u);
    EXPECT_EQ(timer.lParam, 0);
}

TEST_F(Lifecycle, UnloadRemovesEverythingAndClosesSettings)
{
    plugin.load(host.api());
    host.clearCalls();
    ASSERT_EQ(plugin.unload(), 0);
    auto calls = host.calls();
    ASSERT_EQ(host.serviceNames(),
              (Names{L"WTW/RemoveOptionsPage", L"WTW/PanelDel", L"WTW/Timer/Destroy", L"WTW/Settings/Destroy"}));
    EXPECT_EQ(calls[0].wParam, module);
    EXPECT_EQ(calls[0].textArgument, pluginInfo().guid);
    EXPECT_EQ(calls[1].text(32), L"quillFeed");
    EXPECT_TRUE(calls[1].isNullText(16));
    EXPECT_TRUE(calls[1].isNullText(40));
    EXPECT_EQ(calls[1].field<intptr_t>(56), 0);
    EXPECT_EQ(calls[2].textArgument, L"quillFeed/feedRefreshTimer");
    EXPECT_EQ(calls[3].wParam, host.settingsHandle());
    EXPECT_EQ(calls[3].lParam, module);
    EXPECT_EQ(plugin.settings.handle(), 0);
}

TEST_F(Lifecycle, UnloadWithoutSettingsHandleSkipsDestroy)
{
    host.setSettingsHandle(0);
    plugin.load(host.api());
    host.clearCalls();
    plugin.unload();
    EXPECT_EQ(host.serviceNames(), (Names{L"WTW/RemoveOptionsPage", L"WTW/PanelDel", L"WTW/Timer/Destroy"}));
}

TEST_F(Lifecycle, SecondLoadOpensSettingsAgainAndKeepsStore)
{
    plugin.load(host.api());
    plugin.store.lastSeenFor(L"http://kept/feed") = 1234;
    plugin.store.memoryFor(L"http://kept/feed").identities = {{L"kept-guid", 1}};
    auto firstRegistry = plugin.workers.get();
    plugin.unload();
    EXPECT_EQ(plugin.workers, nullptr);
    host.clearCalls();
    plugin.load(host.api());
    EXPECT_EQ(host.serviceNames(), kLoadOrder);
    EXPECT_NE(plugin.workers, nullptr);
    EXPECT_NE(plugin.settings.handle(), 0);
    (void)firstRegistry;
    EXPECT_EQ(plugin.store.lastSeenFor(L"http://kept/feed"), 1234);
    EXPECT_EQ(plugin.store.memoryFor(L"http://kept/feed").identities.count(L"kept-guid"), 1u);
}

TEST_F(Lifecycle, UnloadDestroysOpenOptionsEditor)
{
    plugin.load(host.api());
    HWND editor = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(editor, nullptr);
    plugin.optionsPage.editor.reset(editor);
    plugin.unload();
    EXPECT_EQ(plugin.optionsPage.editor.get(), nullptr);
    EXPECT_FALSE(IsWindow(editor));
}

} // namespace
