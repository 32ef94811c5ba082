#include "PluginUnderTest.h"

#include "Announcements.h"
#include "EventBytes.h"
#include "LogLines.h"
#include "TestTime.h"
#include "ui/FeedPanel.h"

void PluginUnderTest::SetUp()
{
    useUtc();
    // The store lives as long as the library; every test stands for a freshly mapped one.
    plugin.store.channels.clear();
    plugin.store.feeds.clear();
    plugin.store.savedState.clear();
    plugin.store.stateRead = false;
    plugin.store.setClock(nullptr);
    load();
    ASSERT_EQ(host.count(L"WTW/Timer/Create"), 1u);
    ASSERT_NE(timer_, nullptr);
}

void PluginUnderTest::TearDown()
{
    // Unload waits for the workers; one still sending to this thread would wait with it.
    if (loaded_) {
        EXPECT_TRUE(waitForRefreshes()) << "a refresh did not end";
    }
    if (panelMade_)
        sendPanelEvent(8);
    if (loaded_)
        unload();
}

void PluginUnderTest::load()
{
    EXPECT_EQ(plugin.load(host.api()), 0);
    timer_ = host.timerCallback();
    loaded_ = true;
}

int PluginUnderTest::unload()
{
    loaded_ = false;
    refreshing_ = false;
    return plugin.unload();
}

intptr_t PluginUnderTest::fireTimer(int32_t code)
{
    EventBytes event = timerEvent(code);
    return timer_(event.address(), 0, nullptr);
}

void PluginUnderTest::startRefresh(int32_t code)
{
    // The log may have been cleared since the last wait; count from what it holds now.
    const size_t awaited = refreshing_ ? awaitedEnds_ : endedWorkers(host.calls());
    const size_t admitted = plugin.store.refreshQueue().admittedCount();
    EXPECT_EQ(fireTimer(code), 0) << "code " << code;
    // An event that found a refresh waiting merged into it and started no worker.
    const size_t started = plugin.store.refreshQueue().admittedCount() - admitted;
    awaitedEnds_ = awaited + started;
    refreshing_ = refreshing_ || started > 0;
}

bool PluginUnderTest::waitForRefreshes(std::chrono::milliseconds limit)
{
    if (refreshing_ && pumpUntil([&] { return endedWorkers(host.calls()) == awaitedEnds_; }, limit))
        refreshing_ = false;
    return !refreshing_;
}

bool PluginUnderTest::waitForCleaners(std::chrono::milliseconds limit)
{
    return pumpUntil([&] { return cleanersEnded(host.calls()); }, limit);
}

void PluginUnderTest::sendPanelEvent(int32_t code, RECT rect, HWND parentWindow)
{
    panelMade_ = panelMade_ || code == 7;
    EventBytes event = panelEvent(code, rect, parentWindow);
    EXPECT_EQ(FeedPanel::onEvent(event.address(), 0, static_cast<UiParts*>(&plugin)), 0) << "code " << code;
}

HWND PluginUnderTest::createPanel(RECT rect)
{
    sendPanelEvent(7, rect, parent.handle());
    return plugin.panel.tree.load();
}

std::vector<std::wstring> PluginUnderTest::announcements() const
{
    return ::announcements(host.calls());
}

std::vector<std::wstring> PluginUnderTest::channelTitles() const
{
    std::vector<std::wstring> titles;
    for (const SharedChannel& channel : plugin.store.channels)
        titles.push_back(channel->title);
    return titles;
}
