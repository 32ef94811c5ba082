#pragma once
// The fixture of the hostile suite: the plug-in under test with its panel made,
// HTTP limits lowered so that every stalled exchange ends within a second or
// two, and a check after each test that threads and handles are back where
// they started.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "Announcements.h"
#include "LoopbackServer.h"
#include "PluginUnderTest.h"
#include "Wide.h"
#include "net/HttpClient.h"

// What one refresh left behind: its announcements in order, one line each
// ("notify <title>", "news <id>", "error <title> | <text>"), the titles of the
// channels in the store, and whether it ended in time.
struct RefreshOutcome {
    std::vector<std::wstring> announcements;
    std::vector<std::wstring> channels;
    bool ended = true;
};
bool operator==(const RefreshOutcome& a, const RefreshOutcome& b);
void PrintTo(const RefreshOutcome& outcome, std::ostream* out);

// A named hostile case: what was expected and what was found.
struct CaseResult {
    std::string name;
    RefreshOutcome outcome;
};
bool operator==(const CaseResult& a, const CaseResult& b);
void PrintTo(const CaseResult& result, std::ostream* out);

// An RSS 2.0 document of one channel; every item has a title, a guid and a date.
struct HostileItem {
    std::string title;
    std::string guid;
    std::string attributes; // raw text inside the item's start tag
    std::string extra;      // raw markup inside the item, after its date
};
std::string feedDocument(const std::string& channelTitle, const std::vector<HostileItem>& items);
constexpr const char* kItemDate = "Tue, 05 Mar 2024 10:00:00 GMT";

class HostileRefresh : public PluginUnderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A first refresh from this test's own server, then the thread and handle
    // counts that TearDown expects back once the server is gone.
    void takeBaseline(LoopbackServer& server);

    // Lowered limits for the rest of the test: this load's fetch control.
    void useLimits(uint32_t ioTimeoutMs, uint32_t deadlineMs, size_t maxResponseBytes);

    // Stores the feed list, fires the notifying timer event and pumps until the
    // worker has been reaped, its panel rebuild done on this thread meanwhile.
    RefreshOutcome refresh(const std::wstring& feedList, std::chrono::milliseconds limit = std::chrono::seconds(20));

    size_t treeNodeCount() const;

private:
    size_t baseThreads_ = 0;
    size_t baseHandles_ = 0;
};
