// Every refresh ends by rebuilding the panel's tree from the channels it read.
#include <gtest/gtest.h>

#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "core/EventRecords.h"
#include "core/Plugin.h"
#include "core/SettingsStore.h"

namespace {

std::vector<std::wstring> rootTexts(HWND tree)
{
    std::vector<std::wstring> texts;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item != nullptr) {
        wchar_t text[256] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 255;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        texts.push_back(text);
        item =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return texts;
}

void panelEvent(int32_t code)
{
    PanelEvent event{};
    event.code = code;
    FeedPanel::onEvent(reinterpret_cast<intptr_t>(&event), 0, nullptr);
}

class PanelRebuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        plugin.load(host.api());
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        plugin.panel.create(host.api(), parent, RECT{0, 0, 300, 300});
        ASSERT_NE(plugin.panel.tree, nullptr);
    }
    void TearDown() override
    {
        plugin.unload();
        panelEvent(8);
        DestroyWindow(parent);
    }

    // One refresh; the test thread handles the tree's messages while it waits.
    void refresh(int32_t code)
    {
        host.clearCalls();
        fireTimer(code);
        ASSERT_TRUE(pumpUntil([&] { return countLogLines(host.calls(), L"Thread ") == 1; }));
    }

    RecordingHost host;
    Plugin& plugin = Plugin::instance();
    HWND parent = nullptr;
};

TEST_F(PanelRebuild, TreeShowsTheChannelsOfTheLastRefresh)
{
    LoopbackServer server("127.0.5.28");
    server.serve("/a", rssDocument("Alpha", {{"Item", "http://x/i", "i", 0}}));
    server.serve("/b", rssDocument("Beta", {}));
    host.setValue(kFeedsKey, server.url("/a") + L"\r\n" + server.url("/missing") + L"\r\n" + server.url("/b"));
    refresh(1);
    EXPECT_EQ(rootTexts(plugin.panel.tree), (std::vector<std::wstring>{L"Alpha", L"Beta"}));

    // Every check failing still rebuilds: the tree is emptied.
    host.setValue(kFeedsKey, server.url("/missing"));
    refresh(3);
    EXPECT_TRUE(rootTexts(plugin.panel.tree).empty());
}

} // namespace
