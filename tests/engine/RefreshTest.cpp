// Whole refreshes through the timer callback: the loaded plug-in, the
// recording host and feeds on loopback servers.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "PluginUnderTest.h"
#include "ProcessCounts.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

const int64_t kBase = utcSeconds(2024, 3, 5, 10, 0, 0);

class Refresh : public PluginUnderTest {
protected:
    void SetUp() override
    {
        PluginUnderTest::SetUp();
        host.clearCalls();
    }
    void setFeeds(const std::wstring& list) { host.setValue(kFeedsKey, list); }
};

TEST_F(Refresh, OnlyCodesOneAndThreeStartARefresh)
{
    LoopbackServer server("127.0.5.20");
    server.serve("/feed", rssDocument("Codes", {{"First", "http://x/1", "g1", kBase}}));
    setFeeds(server.url("/feed"));

    for (int32_t code : {0, 2, 4, -1, 0x103}) {
        const size_t threads = threadCount();
        EXPECT_EQ(fireTimer(code), 0) << code;
        // A refresh's worker exists once the callback returns, before its first host call.
        EXPECT_LE(threadCount(), threads) << "code " << code << " started a thread";
        EXPECT_TRUE(host.calls().empty()) << "code " << code << " started something";
    }
    EXPECT_EQ(server.connectionCount(), 0u);

    // Code 1: a silent refresh reads the list on its own thread and announces nothing.
    ASSERT_TRUE(runRefresh(1));
    auto reads = host.callsTo(L"WTW/Settings/Get");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_NE(reads[0].threadId, GetCurrentThreadId());
    EXPECT_TRUE(announcements().empty());
    EXPECT_EQ(server.connectionCount(), 1u);
    EXPECT_EQ(plugin.store.lastSeenFor(server.url("/feed")), kBase);

    // Code 3: a notifying refresh announces what is newer.
    server.serve("/feed", rssDocument("Codes", {{"Second", "http://x/2", "g2", kBase + 1},
                                                {"First", "http://x/1", "g1", kBase}}));
    host.clearCalls();
    ASSERT_TRUE(runRefresh(3));
    EXPECT_EQ(announcements(), (std::vector<std::wstring>{L"notify Second", L"news g2"}));
}

TEST_F(Refresh, ChecksEveryLineInListOrderOnOneWorker)
{
    LoopbackServer server("127.0.5.21");
    for (const char* name : {"a", "b", "c"})
        server.serve(std::string("/") + name, rssDocument(std::string("Channel ") + name, {}));
    setFeeds(server.url("/b") + L"\r\n" + server.url("/a") + L"\r\n" + server.url("/c"));
    ASSERT_TRUE(runRefresh(3));
    // Fetched together, so they may arrive in any order; checked in list order.
    std::multiset<std::string> requested;
    for (const std::string& request : server.requests())
        requested.insert(request.substr(0, 7));
    EXPECT_EQ(requested, (std::multiset<std::string>{"GET /a ", "GET /b ", "GET /c "}));
    EXPECT_EQ(channelTitles(), (std::vector<std::wstring>{L"Channel b", L"Channel a", L"Channel c"}));

    // The log of one refresh: its cleaner's start, the worker reaped, the cleaner's end.
    ASSERT_TRUE(waitForCleanerEnds(host, 1));
    const auto lines = logMessages(host.calls());
    ASSERT_EQ(lines.size(), 3u);
    std::wsmatch start, reaped, ended;
    ASSERT_TRUE(std::regex_match(lines[0], start, std::wregex(L"Starting cleaner thread ([0-9A-F]{16})")));
    ASSERT_TRUE(std::regex_match(lines[1], reaped, std::wregex(L"Thread ([0-9A-F]{16}) has ended")));
    ASSERT_TRUE(std::regex_match(lines[2], ended, std::wregex(L"Cleaner thread ([0-9A-F]{16}) has ended")));
    EXPECT_EQ(start[1].str(), ended[1].str());
    EXPECT_NE(start[1].str(), reaped[1].str());
}

TEST_F(Refresh, AddressListedTwiceIsStoredTwiceAndAnnouncedOnce)
{
    LoopbackServer server("127.0.5.22");
    server.serve("/twice", rssDocument("Twice", {{"Only", "http://x/only", "", kBase}}));
    setFeeds(server.url("/twice") + L"\r\n" + server.url("/twice"));
    ASSERT_TRUE(runRefresh(3));
    EXPECT_EQ(channelTitles(), (std::vector<std::wstring>{L"Twice", L"Twice"}));
    EXPECT_EQ(announcements(), (std::vector<std::wstring>{L"notify Only", L"news http://x/only"}));
}

// Empty lines, a trailing separator and an address without a path end their
// checks silently; the good lines around them are checked as usual.
TEST_F(Refresh, EmptyLinesAreSilentAndAddressWithoutPathAsksForTheRoot)
{
    LoopbackServer server("127.0.5.23");
    server.serve("/ok", rssDocument("Ok", {{"News", "http://x/n", "n1", kBase}}));
    setFeeds(L"\r\n" + server.url("/ok") + L"\r\n\r\nhttp://127.0.5.23\r\n");
    ASSERT_TRUE(runRefresh(3));
    EXPECT_EQ(announcements(),
              (std::vector<std::wstring>{L"notify News", L"news n1",
                                         L"error RSS error - http://127.0.5.23 | HTTP response code diffrent than 200 "
                                         L"received"}));
    EXPECT_EQ(channelTitles(), (std::vector<std::wstring>{L"Ok"}));
    // Fetched alongside /ok, so it may come first or last.
    std::set<std::string> asked;
    for (const std::string& request : server.requests())
        asked.insert(request.substr(0, 16));
    EXPECT_EQ(asked, (std::set<std::string>{"GET / HTTP/1.1\r\n", "GET /ok HTTP/1.1"}));
    EXPECT_EQ(plugin.store.feeds.count(L""), 0u);
    // The failing address keeps only its warning: no last-seen time, no successful check.
    EXPECT_EQ(plugin.store.feeds.at(L"http://127.0.5.23").lastSeen, 0);
    EXPECT_FALSE(plugin.store.feeds.at(L"http://127.0.5.23").checked);
}

// LF alone does not separate: the whole value is one address, one request
// (the LF percent-encoded: it cannot end the request line), one failure.
TEST_F(Refresh, LineFeedAloneIsPartOfTheAddress)
{
    LoopbackServer server("127.0.5.24");
    server.serve("/a", rssDocument("A", {{"Item", "http://x/i", "i", kBase}}));
    const std::wstring list = server.url("/a") + L"\n" + server.url("/b");
    setFeeds(list);
    ASSERT_TRUE(runRefresh(3));
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].substr(0, 32), "GET /a%0Ahttp://127.0.5.24/b HTT");
    EXPECT_EQ(announcements(), (std::vector<std::wstring>{L"error RSS error - " + list +
                                                          L" | HTTP response code diffrent than 200 received"}));
}

TEST_F(Refresh, EmptyListClearsTheChannels)
{
    plugin.store.addChannel(Channel{});
    ASSERT_EQ(plugin.store.channels.size(), 1u);
    ASSERT_TRUE(runRefresh(3)); // no value stored: the list is one empty line
    EXPECT_TRUE(plugin.store.channels.empty());
    EXPECT_TRUE(announcements().empty());
    EXPECT_EQ(host.count(L"WTW/Settings/Read"), 1u);
}

TEST_F(Refresh, FailedAddressLeavesOnlyTheOthersInTheStore)
{
    LoopbackServer server("127.0.5.25");
    server.serve("/good", rssDocument("Good", {}));
    setFeeds(server.url("/missing") + L"\r\n" + server.url("/good"));
    ASSERT_TRUE(runRefresh(1));
    EXPECT_EQ(channelTitles(), (std::vector<std::wstring>{L"Good"}));
    EXPECT_EQ(announcements(), (std::vector<std::wstring>{L"error RSS error - " + server.url("/missing") +
                                                          L" | HTTP response code diffrent than 200 received"}));
}

// A refresh that starts while another runs waits for it: their host calls never
// interleave, and the second fetch starts only after the first refresh is done.
TEST_F(Refresh, OverlappingRefreshesRunOneAfterAnother)
{
    LoopbackServer server("127.0.5.26");
    const std::string document =
        rssDocument("Slow", {{"One", "http://x/1", "1", kBase}, {"Two", "http://x/2", "2", kBase + 5}});
    ScriptedResponse slow = httpResponse(document);
    const std::string whole = slow.chunks[0];
    slow.chunks = {whole.substr(0, 60), whole.substr(60)};
    slow.pauseBetweenChunksMs = 600;
    server.serve("/slow", slow);
    setFeeds(server.url("/slow"));

    startRefresh(3);
    ASSERT_TRUE(server.waitForConnections(1));
    startRefresh(3);
    ASSERT_TRUE(waitForRefreshes());

    // Every call of the first worker comes before every call of the second.
    const auto calls = host.calls();
    std::vector<DWORD> workerOrder;
    for (const RecordedCall& call : calls) {
        if (call.service == L"WTW/Log")
            continue;
        if (workerOrder.empty() || workerOrder.back() != call.threadId)
            workerOrder.push_back(call.threadId);
    }
    ASSERT_EQ(workerOrder.size(), 2u) << "the two refreshes' host calls interleave";
    EXPECT_NE(workerOrder[0], workerOrder[1]);
    EXPECT_EQ(server.connectionCount(), 2u);
    EXPECT_EQ(::announcements(calls), (std::vector<std::wstring>{L"notify One", L"news 1", L"notify Two", L"news 2"}))
        << "the second refresh announced again: it did not see the first one's last-seen time";
    EXPECT_EQ(channelTitles(), (std::vector<std::wstring>{L"Slow"}));
}

// Many timer events at once run at most two refreshes, one after the other,
// and leave the store holding exactly one refresh's channels.
TEST_F(Refresh, ManyEventsAtOnceRunOneRefreshAndOneWaiting)
{
    LoopbackServer server("127.0.5.27");
    std::wstring list;
    for (int i = 0; i < 3; ++i) {
        const std::string path = "/f" + std::to_string(i);
        server.serve(path,
                     rssDocument("Feed " + std::to_string(i),
                                 {{"Item " + std::to_string(i), "http://x/" + std::to_string(i), "", kBase + i}}));
        list += (i ? L"\r\n" : L"") + server.url(path);
    }
    setFeeds(list);
    constexpr int kEvents = 8;
    const size_t admitted = plugin.store.refreshQueue().admittedCount();
    for (int i = 0; i < kEvents; ++i)
        startRefresh(3);
    ASSERT_TRUE(waitForRefreshes());
    // One ran, at most one waited; the other events merged into the waiting one.
    const size_t refreshes = plugin.store.refreshQueue().admittedCount() - admitted;
    EXPECT_LE(refreshes, 2u);
    EXPECT_EQ(channelTitles(), (std::vector<std::wstring>{L"Feed 0", L"Feed 1", L"Feed 2"}));
    EXPECT_EQ(announcements(), (std::vector<std::wstring>{L"notify Item 0", L"news http://x/0", L"notify Item 1",
                                                          L"news http://x/1", L"notify Item 2", L"news http://x/2"}));
    EXPECT_EQ(server.connectionCount(), 3u * refreshes);
}

} // namespace
