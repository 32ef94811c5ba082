#pragma once
// A loaded plug-in, a parent window on the test thread and the panel's events.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "EventBytes.h"
#include "RecordingHost.h"
#include "WindowTestKit.h"
#include "core/Plugin.h"
#include "ui/FeedPanel.h"

constexpr RECT kTreeRect = {10, 20, 310, 220};
constexpr auto kNoHang = std::chrono::seconds(20);

inline Channel channelTitled(std::wstring title)
{
    Channel channel;
    channel.title = std::move(title);
    return channel;
}

inline Item itemTitled(std::wstring title)
{
    Item item;
    item.title = std::move(title);
    return item;
}

class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        _putenv("TZ=UTC0");
        _tzset();
        plugin.load(host.api());
    }
    void TearDown() override
    {
        send(8);
        plugin.unload();
    }

    void send(int32_t code, RECT rect = {}, HWND parentWindow = nullptr)
    {
        EventBytes event = panelEvent(code, rect, parentWindow);
        EXPECT_EQ(FeedPanel::onEvent(event.address(), 0, nullptr), 0) << "code " << code;
    }
    HWND create(RECT rect = kTreeRect)
    {
        send(7, rect, parent.handle());
        return panel.tree.load();
    }
    // The rebuild as the refresh worker runs it: on another thread, while this one pumps.
    void rebuildOnWorker(const std::vector<Channel>& channels)
    {
        ASSERT_TRUE(runOnWorkerPumping([&] { panel.rebuild(channels); }, kNoHang));
    }
    std::vector<TreeNode> nodes() { return readTree(panel.tree.load()); }

    RecordingHost host;
    TestWindow parent;
    Plugin& plugin = Plugin::instance();
    FeedPanel& panel = plugin.panel;
};
