// One feed address checked against a loopback server: what is new, what is
// announced, and the records the host receives.
#include <gtest/gtest.h>

#include "CheckFeedFixture.h"
#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "engine/FeedCheck.h"
#include "engine/NewItems.h"
#include "engine/FeedStore.h"
#include "engine/RefreshTask.h"
#include "services/HostLink.h"

namespace {

using Lines = std::vector<std::wstring>;

const int64_t kBase = utcSeconds(2023, 11, 14, 8, 30, 0);

bool zeroFrom(const RecordedCall& call, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i)
        if (i >= call.record.size() || call.record[i] != 0)
            return false;
    return true;
}

class CheckFeed : public CheckFeedFixture {
protected:
    Lines announced() const { return announcements(host.calls()); }
};

TEST_F(CheckFeed, FirstNotifyingCheckAnnouncesEveryDatedItemInDocumentOrder)
{
    LoopbackServer server("127.0.5.70");
    server.serve("/feed", rssDocument("Daily", {{"Newest", "http://x/n", "g-n", kBase + 300},
                                                {"Undated", "http://x/u", "g-u", 0},
                                                {"Oldest", "http://x/o", "g-o", kBase + 100},
                                                {"Middle", "http://x/m", "", kBase + 200}}));
    const std::wstring address = server.url("/feed");
    check(address, true);

    EXPECT_EQ(announced(), (Lines{L"notify Newest", L"news g-n", L"notify Oldest", L"news g-o", L"notify Middle",
                                  L"news http://x/m"}));
    EXPECT_EQ(store.lastSeenFor(address), kBase + 300);
    ASSERT_EQ(store.channels.size(), 1u);
    EXPECT_EQ(store.channels[0]->title, L"Daily");
    EXPECT_EQ(store.channels[0]->items.size(), 4u);

    // The records, field by field, of the first item.
    const auto calls = host.calls();
    ASSERT_EQ(calls.size(), 6u);
    const RecordedCall& notice = calls[0];
    EXPECT_EQ(notice.service, L"WTW/ShowStandardNotify");
    ASSERT_EQ(notice.record.size(), 88u);
    EXPECT_EQ(notice.field<uint32_t>(0), 88u);
    EXPECT_TRUE(notice.isNullText(8));
    EXPECT_EQ(notice.text(16), L"Newest");
    EXPECT_EQ(notice.text(32), L"Image/RSS");
    EXPECT_EQ(notice.field<uint32_t>(40), 3u);
    EXPECT_TRUE(zeroFrom(notice, 4, 8) && zeroFrom(notice, 24, 32) && zeroFrom(notice, 44, 88));
    EXPECT_EQ(notice.lParam, 0);

    const RecordedCall& entry = calls[1];
    EXPECT_EQ(entry.service, L"News/AddEntry");
    ASSERT_EQ(entry.record.size(), 112u);
    EXPECT_EQ(entry.field<uint32_t>(0), 112u);
    EXPECT_EQ(entry.text(8), L"g-n");
    EXPECT_EQ(entry.text(16), L"Newest");
    EXPECT_EQ(entry.text(40), L"Daily");
    EXPECT_EQ(entry.text(48), L"http://x/n");
    EXPECT_EQ(entry.text(56), L"Image/RSS");
    EXPECT_EQ(entry.field<int64_t>(104), kBase + 300);
    EXPECT_TRUE(zeroFrom(entry, 4, 8) && zeroFrom(entry, 24, 40) && zeroFrom(entry, 64, 104));
    EXPECT_EQ(entry.lParam, 0);

    // Every call of the check comes from the checking thread.
    for (const RecordedCall& call : calls)
        EXPECT_EQ(call.threadId, GetCurrentThreadId());
    EXPECT_EQ(calls[5].field<int64_t>(104), kBase + 200);
}

TEST_F(CheckFeed, SilentFirstCheckRaisesLastSeenWithoutAnnouncing)
{
    LoopbackServer server("127.0.5.71");
    const std::vector<FeedItem> items = {{"A", "http://x/a", "a", kBase + 10}, {"B", "http://x/b", "b", kBase + 20}};
    server.serve("/feed", rssDocument("Quiet", items));
    const std::wstring address = server.url("/feed");
    check(address, false);
    EXPECT_TRUE(host.calls().empty());
    EXPECT_EQ(store.lastSeenFor(address), kBase + 20);
    EXPECT_EQ(store.channels.size(), 1u);

    auto more = items;
    more.insert(more.begin(), {"C", "http://x/c", "c", kBase + 30});
    server.serve("/feed", rssDocument("Quiet", more));
    check(address, true);
    EXPECT_EQ(announced(), (Lines{L"notify C", L"news c"}));
    EXPECT_EQ(store.lastSeenFor(address), kBase + 30);
}

TEST_F(CheckFeed, OnlyItemsNewerThanLastSeenAreNew)
{
    LoopbackServer server("127.0.5.72");
    const std::wstring address = server.url("/feed");
    store.lastSeenFor(address) = kBase;
    server.serve("/feed", rssDocument("Edge", {{"Equal", "http://x/e", "e", kBase},
                                               {"Older", "http://x/o", "o", kBase - 3600},
                                               {"Second newer", "http://x/s", "s", kBase + 1}}));
    check(address, true);
    EXPECT_EQ(announced(), (Lines{L"notify Second newer", L"news s"}));
    EXPECT_EQ(store.lastSeenFor(address), kBase + 1);

    // Nothing newer: last-seen stays, never falls.
    host.clearCalls();
    server.serve("/feed", rssDocument("Edge", {{"Older", "http://x/o", "o", kBase - 3600}}));
    check(address, true);
    EXPECT_TRUE(announced().empty());
    EXPECT_EQ(store.lastSeenFor(address), kBase + 1);
}

TEST_F(CheckFeed, UndatedItemsOfAnUnchangedFeedAreNotAnnounced)
{
    LoopbackServer server("127.0.5.73");
    server.serve("/feed", rssDocument("No dates", {{"One", "http://x/1", "1", 0}, {"Two", "http://x/2", "2", 0}}));
    const std::wstring address = server.url("/feed");
    check(address, true);
    check(address, true);
    EXPECT_TRUE(host.calls().empty());
    EXPECT_EQ(store.feeds.count(address), 1u);
    EXPECT_EQ(store.lastSeenFor(address), 0);
    EXPECT_EQ(store.channels.size(), 2u);
}

TEST_F(CheckFeed, TwoItemsWithTheSameNewTimeAreBothAnnounced)
{
    LoopbackServer server("127.0.5.74");
    server.serve("/feed",
                 rssDocument("Twins", {{"Left", "http://x/l", "l", kBase}, {"Right", "http://x/r", "r", kBase}}));
    check(server.url("/feed"), true);
    EXPECT_EQ(announced(), (Lines{L"notify Left", L"news l", L"notify Right", L"news r"}));
    EXPECT_EQ(store.lastSeenFor(server.url("/feed")), kBase);
}

TEST_F(CheckFeed, NewsIdIsTheGuidOrElseTheLink)
{
    LoopbackServer server("127.0.5.75");
    server.serve("/feed", rssDocument("Ids", {{"With guid", "http://x/with", "urn:guid:1", kBase + 2},
                                              {"Without guid", "http://x/without", "", kBase + 1},
                                              {"Neither", "", "", kBase + 3}}));
    check(server.url("/feed"), true);
    const auto entries = host.callsTo(L"News/AddEntry");
    ASSERT_EQ(entries.size(), 3u);
    struct Expected {
        std::wstring id, link;
    };
    const std::vector<Expected> expected = {
        {L"urn:guid:1", L"http://x/with"}, {L"http://x/without", L"http://x/without"}, {L"", L""}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].text(8), expected[i].id) << i;
        EXPECT_EQ(entries[i].text(48), expected[i].link) << i;
        EXPECT_FALSE(entries[i].isNullText(8)) << "an empty id is an empty text, not null";
        EXPECT_FALSE(entries[i].isNullText(48));
    }
}

TEST_F(CheckFeed, FailedCheckLeavesTheStoreAsItWas)
{
    LoopbackServer server("127.0.5.76");
    const std::wstring address = server.url("/feed");
    server.serve("/feed", rssDocument("Flaky", {{"First", "http://x/1", "1", kBase}}));
    check(address, true);
    ASSERT_EQ(store.lastSeenFor(address), kBase);
    store.clearChannels();
    host.clearCalls();

    server.serve("/feed", httpResponse("gone", "404 Not Found"));
    check(address, true);
    EXPECT_TRUE(store.channels.empty());
    EXPECT_EQ(store.lastSeenFor(address), kBase);
    EXPECT_EQ(announced(),
              (Lines{L"error RSS error - " + address + L" | HTTP response code diffrent than 200 received"}));

    // Back again: what became new meanwhile is announced.
    host.clearCalls();
    server.serve("/feed", rssDocument("Flaky", {{"Second", "http://x/2", "2", kBase + 60},
                                                {"First", "http://x/1", "1", kBase}}));
    check(address, true);
    EXPECT_EQ(announced(), (Lines{L"notify Second", L"news 2"}));
    EXPECT_EQ(store.channels.size(), 1u);
}

// A well-formed document that is no feed is an empty channel: stored, nothing announced, no error.
TEST_F(CheckFeed, DocumentThatIsNoFeedGivesAnEmptyChannel)
{
    LoopbackServer server("127.0.5.77");
    server.serve("/empty", "<rss/>");
    server.serve("/page", "<html><title>Page</title></html>");
    check(server.url("/empty"), true);
    check(server.url("/page"), true);
    EXPECT_TRUE(host.calls().empty());
    ASSERT_EQ(store.channels.size(), 2u);
    EXPECT_TRUE(store.channels[0]->title.empty());
    EXPECT_TRUE(store.channels[1]->title.empty());
    EXPECT_EQ(store.feeds.size(), 2u);
}

// Once unload has closed the gate, a check still running announces nothing and
// keeps last-seen, so the item is announced after the next load instead of lost.
TEST_F(CheckFeed, ClosedGateAnnouncesNothingAndKeepsLastSeen)
{
    LoopbackServer server("127.0.5.78");
    const std::wstring address = server.url("/feed");
    server.serve("/feed", rssDocument("Late", {{"Late", "http://x/l", "l", kBase}}));
    link->close(0);
    check(address, true);
    EXPECT_TRUE(host.calls().empty());
    EXPECT_EQ(store.lastSeenFor(address), 0);

    link = std::make_shared<HostLink>(host.api());
    check(address, true);
    EXPECT_EQ(announced(), (Lines{L"notify Late", L"news l"}));
}

// Every check of a feed whose items all change announces them all, and the
// address keeps no more identities than its bound, the newest.
TEST_F(CheckFeed, KeptIdentitiesNeverOutgrowTheirBound)
{
    LoopbackServer server("127.0.5.79");
    const std::wstring address = server.url("/feed");
    constexpr size_t kItems = 20;
    constexpr int kChecks = 1000;
    size_t largest = 0;
    for (int round = 0; round < kChecks; ++round) {
        std::vector<FeedItem> items;
        for (size_t i = 0; i < kItems; ++i) {
            const std::string name = std::to_string(round) + "-" + std::to_string(i);
            items.push_back({name, "http://x/" + name, "g-" + name});
        }
        server.serve("/feed", rssDocument("Churn", items));
        host.clearCalls();
        store.clearChannels();
        check(address, true);
        ASSERT_EQ(host.count(L"News/AddEntry"), round == 0 ? 0u : kItems) << "check " << round;
        largest = std::max(largest, store.feeds.at(address).identities.size());
    }
    EXPECT_EQ(largest, kMaxIdentities);
    EXPECT_EQ(store.feeds.at(address).identities.count(L"g-" + std::to_wstring(kChecks - 1) + L"-0"), 1u);
    EXPECT_EQ(store.feeds.size(), 1u);
}

} // namespace
