// Every refresh ends by rebuilding the panel's tree from the channels it read.
#include <gtest/gtest.h>

#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "PluginUnderTest.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

class PanelRebuild : public PluginUnderTest {
protected:
    void SetUp() override
    {
        PluginUnderTest::SetUp();
        ASSERT_NE(createPanel(RECT{0, 0, 300, 300}), nullptr);
    }
    std::vector<std::wstring> rootTexts() const { return texts(readTree(plugin.panel.tree)); }
};

TEST_F(PanelRebuild, TreeShowsTheChannelsOfTheLastRefresh)
{
    LoopbackServer server("127.0.5.28");
    server.serve("/a", rssDocument("Alpha", {{"Item", "http://x/i", "i", 0}}));
    server.serve("/b", rssDocument("Beta", {}));
    host.setValue(kFeedsKey, server.url("/a") + L"\r\n" + server.url("/missing") + L"\r\n" + server.url("/b"));
    ASSERT_TRUE(runRefresh(1));
    EXPECT_EQ(rootTexts(), (std::vector<std::wstring>{L"Alpha", L"Beta"}));

    // Every check failing still rebuilds: the tree is emptied.
    host.setValue(kFeedsKey, server.url("/missing"));
    ASSERT_TRUE(runRefresh(3));
    EXPECT_TRUE(rootTexts().empty());
}

} // namespace
