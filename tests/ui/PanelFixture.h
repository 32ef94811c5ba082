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
    // The update as the refresh worker runs it: on another thread, while this
    // one pumps. Channel i comes from the list line "feed i".
    void rebuildOnWorker(const std::vector<Channel>& channels)
    {
        PanelContent content;
        for (const Channel& channel : channels)
            content.channels.push_back(
                {L"feed " + std::to_wstring(content.channels.size()), std::make_shared<const Channel>(channel)});
        ASSERT_TRUE(runOnWorkerPumping([&] { panel.update(content); }, kNoHang));
    }
    std::vector<TreeNode> nodes() { return readTree(panel.tree.load()); }

    FeedPanel& panel = plugin.panel;
};
