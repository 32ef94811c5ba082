#pragma once
// The plug-in under test with its panel's events and channels built by hand.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "EventBytes.h"
#include "PluginUnderTest.h"
#include "ui/FeedPanel.h"

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

class PanelFixture : public PluginUnderTest {
protected:
    // The rebuild as the refresh worker runs it: on another thread, while this one pumps.
    void rebuildOnWorker(const std::vector<Channel>& channels)
    {
        ChannelList shared;
        for (const Channel& channel : channels)
            shared.push_back(std::make_shared<const Channel>(channel));
        ASSERT_TRUE(runOnWorkerPumping([&] { panel.rebuild(shared); }, kNoHang));
    }
    std::vector<TreeNode> nodes() { return readTree(panel.tree.load()); }

    FeedPanel& panel = plugin.panel;
};
