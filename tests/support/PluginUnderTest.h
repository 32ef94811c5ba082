#pragma once
// The linked plug-in loaded with a recording host for one test: its timer fired
// as the host fires it, its refreshes waited for while this thread pumps (a
// worker's panel rebuild sends to it), its panel in a window of this thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "WindowTestKit.h"
#include "core/Plugin.h"

class PluginUnderTest : public ::testing::Test {
protected:
    static constexpr int32_t kSilentRefresh = 1;
    static constexpr int32_t kNotifyingRefresh = 3;
    static constexpr RECT kPanelRect = {10, 20, 310, 220};

    void SetUp() override;    // dates in UTC, an empty store, load, the registered timer callback
    void TearDown() override; // lets refreshes end, destroys a panel made, unloads

    void load();
    // Refreshes not ended by now are given up on: their end is not logged any more.
    int unload();

    // One timer event through the callback the plug-in registered.
    intptr_t fireTimer(int32_t code);
    // A timer event that starts a refresh; waitForRefreshes then waits for its end
    // too. Ends are counted in the host's log: clear it only while none runs.
    void startRefresh(int32_t code = kNotifyingRefresh);
    // Pumps until every refresh started so far has logged its worker's end.
    bool waitForRefreshes(std::chrono::milliseconds limit = std::chrono::seconds(30));
    bool runRefresh(int32_t code = kNotifyingRefresh)
    {
        startRefresh(code);
        return waitForRefreshes();
    }
    // Pumps until every cleaner thread started has logged its end.
    bool waitForCleaners(std::chrono::milliseconds limit = std::chrono::seconds(10));

    // A panel event as the host sends it; create (7) and destroy (8) included.
    void sendPanelEvent(int32_t code, RECT rect = {}, HWND parentWindow = nullptr);
    // The create event with the test window as parent; the tree it made.
    HWND createPanel(RECT rect = kPanelRect);

    std::vector<std::wstring> announcements() const;
    std::vector<std::wstring> channelTitles() const;

    RecordingHost host;
    Plugin& plugin = Plugin::instance();
    TestWindow parent;

private:
    HostCallback timer_ = nullptr;
    size_t awaitedEnds_ = 0; // worker end lines in the log once every started refresh ended
    bool refreshing_ = false;
    bool loaded_ = false;
    bool panelMade_ = false;
};
