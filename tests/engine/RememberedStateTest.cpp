// What the plug-in remembers across restarts and counts as news: the state
// file's text, damaged files, bursts, and identities over a month.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <optional>

#include "Announcements.h"
#include "CheckFeedFixture.h"
#include "FeedDocuments.h"
#include "LogLines.h"
#include "LoopbackServer.h"
#include "PluginUnderTest.h"
#include "ScratchFolder.h"
#include "Wide.h"
#include "engine/FeedStateText.h"
#include "engine/NewsSummary.h"
#include "host/HostProtocol.h"

namespace {

using Lines = std::vector<std::wstring>;
const int64_t kBase = utcSeconds(2025, 1, 10, 12, 0, 0);
constexpr int64_t kDay = 24 * 3600;

std::map<std::wstring, FeedMemory> sampleState()
{
    std::map<std::wstring, FeedMemory> feeds;
    FeedMemory& odd = feeds[L"http://a.example/feed?x=1\tż"];
    odd.lastSeen = kBase;
    odd.checked = true;
    odd.listedAt = kBase + 1;
    odd.quietUntil = kBase + 2;
    odd.dueAt = kBase + 3;
    odd.cacheSeconds = 600;
    odd.movedTo = L"https://b.example/feed\tż";
    odd.validators = {"\"v\\1\"", "Fri, 10 Jan 2025 12:00:00 GMT", L"http://a.example"};
    odd.foundFeed = L"http://a.example/feed.xml";
    odd.foundAt = kBase - 60;
    odd.identities = {{L"line\nbreak", kBase}, {L"zażółć \\ back\\41", kBase - 5}, {L"\u65e5\u672c", 3}};
    feeds[L"http://b.example/"]; // known, nothing checked yet
    return feeds;
}

// 200 feeds of 50 items, each identity about 60 characters: the size and
// times of a large state are printed as the format's measure.
std::map<std::wstring, FeedMemory> largeState()
{
    std::map<std::wstring, FeedMemory> feeds;
    for (int feed = 0; feed < 200; ++feed) {
        const std::wstring site = L"https://news" + std::to_wstring(feed) + L".example/";
        FeedMemory& memory = feeds[site + L"feed.xml"];
        memory.checked = true;
        memory.lastSeen = memory.listedAt = kBase;
        memory.validators = {"\"5f3a-" + std::to_string(feed) + "\"", "Fri, 10 Jan 2025 12:00:00 GMT", site};
        for (int item = 0; item < 50; ++item)
            memory.identities[site + L"2025/01/10/story-" + std::to_wstring(item) + L".html"] = kBase;
    }
    return feeds;
}

TEST(FeedStateText, ReadsBackWhatItWrote)
{
    for (const auto& feeds : {sampleState(), largeState()}) {
        using Ms = std::chrono::duration<double, std::milli>;
        const auto start = std::chrono::steady_clock::now();
        const std::string text = writeFeedState(feeds);
        const auto written = std::chrono::steady_clock::now();
        std::map<std::wstring, FeedMemory> read;
        std::string why;
        ASSERT_TRUE(readFeedState(text, read, why)) << why;
        printf("state of %zu feeds: %zu bytes, written in %.1f ms, read in %.1f ms\n", feeds.size(), text.size(),
               Ms(written - start).count(), Ms(std::chrono::steady_clock::now() - written).count());
        EXPECT_EQ(read.begin()->second.identities, feeds.begin()->second.identities);
        EXPECT_EQ(writeFeedState(read), text) << "every fact read back as written";
    }
    // A fact of a later version is skipped, not damage.
    std::map<std::wstring, FeedMemory> read;
    std::string why;
    EXPECT_TRUE(readFeedState("quillFeed state 1\nfeed x\nnext-ask 12\nend 1\n", read, why)) << why;
}

TEST(FeedStateText, RefusesWhatIsNotAWholeState)
{
    const std::string good = writeFeedState(sampleState());
    std::string badNumber = good;
    badNumber.replace(badNumber.find("seen ") + 5, 1, "x");
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"cut in a record", good.substr(0, good.size() / 2)},
        {"cut before its end line", good.substr(0, good.rfind("end "))},
        {"last line end missing", good.substr(0, good.size() - 1)},
        {"another version", "quillFeed state 2\nend 0\n"},
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
        {"a number that is none", badNumber},
        {"a count that differs", "quillFeed state 1\nfeed x\nend 2\n"},
        {"a fact before any address", "quillFeed state 1\nseen 1\nend 0\n"},
        {"a broken escape", "quillFeed state 1\nfeed a\\4\nend 1\n"},
        {"lines after the end", good + "feed x\n"},
    };
    for (const auto& c : cases) {
        std::map<std::wstring, FeedMemory> read;
        std::string why;
        EXPECT_FALSE(readFeedState(c.text, read, why)) << c.name;
        EXPECT_TRUE(read.empty()) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
    }
}

TEST(NewsSummary, CountsInPolish)
{
    const std::map<size_t, std::wstring> cases = {
        {1, L"1 nowy wpis"},      {2, L"2 nowe wpisy"},       {4, L"4 nowe wpisy"},     {5, L"5 nowych wpisów"},
        {12, L"12 nowych wpisów"}, {14, L"14 nowych wpisów"}, {22, L"22 nowe wpisy"},   {25, L"25 nowych wpisów"},
        {50, L"50 nowych wpisów"}, {104, L"104 nowe wpisy"},  {112, L"112 nowych wpisów"}};
    for (const auto& [count, text] : cases)
        EXPECT_EQ(newItemsText(count), text) << count;
}

class News : public CheckFeedFixture {
protected:
    void SetUp() override
    {
        CheckFeedFixture::SetUp();
        store.setClock([this] { return now; });
    }
    // One notifying check of a feed serving these items; what it announced.
    Lines checkServing(const std::vector<FeedItem>& items)
    {
        server.serve("/feed", rssDocument("Burst", items));
        host.clearCalls();
        store.clearChannels();
        check(address, true);
        return announcements(host.calls());
    }

    LoopbackServer server{addressOfThisTest("127.0.5", 120)};
    const std::wstring address = server.url("/feed");
    int64_t now = kBase;
};

std::vector<FeedItem> items(const std::string& prefix, size_t count)
{
    std::vector<FeedItem> made;
    for (size_t i = 0; i < count; ++i)
        made.push_back({prefix + std::to_string(i), "http://x/" + prefix + std::to_string(i), prefix + std::to_string(i),
                        kBase + static_cast<int64_t>(i)});
    return made;
}

// Up to three new items keep a notification each; past that one names the
// channel and the count, and every item still gets its news entry.
TEST_F(News, BurstsShowOneNotification)
{
    const struct {
        size_t count;
        size_t notifications;
        std::wstring summary;
    } cases[] = {{3, 3, L""}, {4, 1, L"4 nowe wpisy"}, {50, 1, L"50 nowych wpisów"}};
    std::vector<FeedItem> feed;
    for (size_t round = 0; round < std::size(cases); ++round) {
        std::vector<FeedItem> fresh = items("r" + std::to_string(round) + "-", cases[round].count);
        feed.insert(feed.begin(), fresh.begin(), fresh.end());
        now += kDay;
        checkServing(feed);
        const auto notices = host.callsTo(L"WTW/ShowStandardNotify");
        ASSERT_EQ(notices.size(), cases[round].notifications) << cases[round].count;
        if (!cases[round].summary.empty()) {
            EXPECT_EQ(notices[0].text(16), L"Burst");
            EXPECT_EQ(notices[0].text(8), cases[round].summary);
        }
        const auto entries = host.callsTo(L"News/AddEntry");
        ASSERT_EQ(entries.size(), cases[round].count);
        EXPECT_EQ(entries.front().text(16), wide(fresh.front().title)) << "news entries keep document order";
    }
}

// An item that drops out of a rotating feed is not news when it comes back
// within 30 days; after that it is.
TEST_F(News, ReturningItemsAreNewsOnlyAfterAMonth)
{
    const FeedItem kept{"Kept", "http://x/kept", "kept"}, rotating{"Rotating", "http://x/rot", "rot"};
    checkServing({kept, rotating});
    const struct {
        int64_t daysAway;
        Lines announced;
    } cases[] = {{1, {}}, {31, {notifyLine(L"Rotating"), newsLine(L"rot")}}};
    for (const auto& c : cases) {
        for (int64_t day = 0; day < c.daysAway; ++day, now += kDay) // checked daily without it
            EXPECT_EQ(checkServing({kept}), Lines{}) << "day " << day;
        EXPECT_EQ(checkServing({kept, rotating}), c.announced) << c.daysAway;
    }
}

// Remembered state on disk through whole refreshes of the plug-in.
class StateFile : public PluginUnderTest {
protected:
    void SetUp() override
    {
        host.setConfigPath(scratch.path(L"quillFeed.ini"));
        PluginUnderTest::SetUp();
    }
    std::wstring statePath() const { return scratch.path(L"quillFeed.state"); }
    size_t stateLines() const
    {
        size_t lines = 0;
        for (const std::wstring& line : logMessages(host.calls()))
            lines += line.rfind(L"State file", 0) == 0;
        return lines;
    }

    ScratchFolder scratch;
};

// What lies on disk when the library starts. A damaged file is set aside,
// logged once, and the start is fresh; the half-written new file of a write
// broken off before it took the old one's place leaves the old state, read as
// if nothing had happened. The list is the host's and never touched.
TEST_F(StateFile, DamagedFilesAreSetAsideAndBrokenOffWritesLeaveTheOldState)
{
    LoopbackServer server("127.0.5.101");
    server.serve("/feed", rssDocument("Fresh", {{"Dated", "http://x/d", "d", kBase}}));
    const std::wstring address = server.url("/feed");
    host.setValue(kFeedsKey, address);
    std::map<std::wstring, FeedMemory> seen;
    seen[address].checked = true;
    seen[address].listedAt = plugin.store.now();
    seen[address].identities[L"d"] = plugin.store.now();
    const std::string old = writeFeedState(seen);
    const Lines fresh = {notifyLine(L"Dated"), newsLine(L"d")};
    const struct {
        const char* name;
        std::string state, halfWritten;
        Lines announced;
        size_t logged;
    } cases[] = {
        {"cut", "quillFeed state 1\nfeed http://x\nseen 1", "", fresh, 1},
        {"another version", "quillFeed state 9\nend 0\n", "", fresh, 1},
        {"garbage", std::string(100, '\x01'), "", fresh, 1},
        {"a write broken off", old, old.substr(0, old.size() / 2), {}, 0},
    };
    for (const auto& c : cases) {
        plugin.store.feeds.clear();
        plugin.store.stateRead = false;
        ASSERT_TRUE(writeFileBytes(statePath(), c.state));
        ASSERT_TRUE(c.halfWritten.empty() || writeFileBytes(statePath() + L".new", c.halfWritten));
        host.clearCalls();
        ASSERT_TRUE(runRefresh());
        EXPECT_EQ(announcements(), c.announced) << c.name;
        EXPECT_EQ(stateLines(), c.logged) << c.name;
        if (c.logged) {
            EXPECT_EQ(readFileBytes(statePath() + L".damaged"), c.state) << c.name;
        }
        EXPECT_EQ(host.value(kFeedsKey), std::optional<std::wstring>(address)) << c.name;
    }
}

// An address taken off the list is remembered for 30 days: put back sooner it
// announces nothing again; later it is a first check.
TEST_F(StateFile, AddressOffTheListIsForgottenAfterAMonth)
{
    int64_t now = kBase;
    plugin.store.setClock([&now] { return now; });
    LoopbackServer server("127.0.5.103");
    server.serve("/a", rssDocument("A", {{"Dated", "http://x/d", "d", kBase}}));
    server.serve("/b", rssDocument("B", {}));
    const struct {
        int64_t daysAway;
        Lines announced;
    } cases[] = {{1, {}}, {31, {notifyLine(L"Dated"), newsLine(L"d")}}};
    host.setValue(kFeedsKey, server.url("/a"));
    ASSERT_TRUE(runRefresh());
    for (const auto& c : cases) {
        host.setValue(kFeedsKey, server.url("/b"));
        now += c.daysAway * kDay;
        ASSERT_TRUE(runRefresh());
        host.setValue(kFeedsKey, server.url("/a"));
        host.clearCalls();
        ASSERT_TRUE(runRefresh());
        EXPECT_EQ(announcements(), c.announced) << c.daysAway;
    }
}

// The feed a page named is asked in its place; the page is asked again a
// day later, or at once when that feed fails (and may name another).
TEST_F(StateFile, FoundFeedStandsForItsPageUntilItFailsOrADayPasses)
{
    int64_t now = kBase;
    plugin.store.setClock([&now] { return now; });
    LoopbackServer server("127.0.5.104");
    auto pageNaming = [](const std::string& feed) {
        return rawResponse({"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<head><link rel=alternate "
                            "type=application/rss+xml href=" + feed + "></head>"});
    };
    server.serve("/p", pageNaming("/a.xml"));
    server.serve("/a.xml", rssDocument("A", {}));
    server.serve("/b.xml", rssDocument("B", {}));
    host.setValue(kFeedsKey, server.url("/p"));
    const struct {
        const char* name;
        int64_t later;
        const char* pageNames;
        bool aFails;
        std::vector<std::string> asked;
    } steps[] = {
        {"first: the page, then its feed", 0, "/a.xml", false, {"/p", "/a.xml"}},
        {"steady: the feed alone", 60, "/a.xml", false, {"/a.xml"}},
        {"a day on: the page again", kDay, "/a.xml", false, {"/p", "/a.xml"}},
        {"the feed fails: the page names another", 60, "/b.xml", true, {"/a.xml", "/p", "/b.xml"}},
        {"steady on the new one", 60, "/b.xml", true, {"/b.xml"}},
    };
    for (const auto& step : steps) {
        now += step.later;
        server.serve("/p", pageNaming(step.pageNames));
        if (step.aFails)
            server.serve("/a.xml", httpResponse("gone", "404 Not Found"));
        const size_t before = server.requests().size();
        ASSERT_TRUE(runRefresh());
        std::vector<std::string> asked;
        const auto requests = server.requests();
        for (size_t i = before; i < requests.size(); ++i)
            asked.push_back(requests[i].substr(4, requests[i].find(' ', 4) - 4));
        EXPECT_EQ(asked, step.asked) << step.name;
        EXPECT_TRUE(host.callsTo(L"WTW/ShowStandardNotify").empty()) << step.name;
    }
}

} // namespace
