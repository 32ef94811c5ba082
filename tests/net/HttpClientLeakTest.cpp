#include <gtest/gtest.h>

#include <set>

#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "ProcessCounts.h"
#include "base/UniqueHandle.h"
#include "net/HttpClient.h"

namespace {

using Mode = ScriptedResponse::Mode;

// Open handles by type, once they have settled for a moment.
std::map<int, size_t> settledHandles()
{
    std::map<int, size_t> now = handlesByType();
    for (int i = 0; i < 20; ++i) {
        Sleep(20);
        const std::map<int, size_t> later = handlesByType();
        if (later == now)
            break;
        now = later;
    }
    EXPECT_FALSE(now.empty()) << "the handle table could not be read";
    return now;
}

// Types that gained more than `slack` handles. The runtime makes an event or a
// semaphore once, the first time some lock of its own is contended; a leak in a
// fetch path repeats with every fetch on it and gains far more.
std::vector<std::string> grownTypes(const std::map<int, size_t>& before, const std::map<int, size_t>& after,
                                    size_t slack)
{
    std::vector<std::string> grown;
    for (const auto& [type, count] : after) {
        const auto old = before.find(type);
        const size_t was = old == before.end() ? 0 : old->second;
        if (count > was + slack)
            grown.push_back("type " + std::to_string(type) + ": " + std::to_string(was) + " -> " +
                            std::to_string(count));
    }
    return grown;
}

// True when WinSock had no start left over: a cleanup then has nothing to end.
bool winsockFullyCleanedUp()
{
    if (WSACleanup() == 0) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data); // give back the start we just ended
        return false;
    }
    return WSAGetLastError() == WSANOTINITIALISED;
}

// Holds a WinSock start of the test's own, so a leaked socket is not closed
// behind our back by the last cleanup and stays visible in the handle count.
UniqueWinsock testWinsock()
{
    WSADATA data;
    const bool started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    EXPECT_TRUE(started);
    return UniqueWinsock(started);
}

struct MixedCase {
    std::wstring address;
    std::set<std::string> kinds; // how it may end
};

std::vector<MixedCase> serveMixed(LoopbackServer& server)
{
    ScriptedResponse reset = rawResponse({"HTTP/1.0 200 OK\r\n"}, Mode::Reset);
    reset.resetAfterMs = 30;
    server.serve("/ok", "<rss/>");
    server.serve("/no-header-end", rawResponse({"HTTP/1.0 200 OK\r\n"}));
    server.serve("/short", rawResponse({"HTTP"}));
    server.serve("/reset", reset);
    return {
        {server.url("/ok"), {"body"}},
        {server.url("/missing"), {"RSSException"}},
        {server.url("/no-header-end"), {"RSSException"}},
        {server.url("/short"), {"RSSException"}},
        // A reset that overtakes the receive may look like a close under Wine.
        {server.url("/reset"), {"NetException", "RSSException"}},
        {L"http://127.0.4.51/x", {"NetException"}},      // nothing listens: connect fails
        {L"http://127.0.4.50/\u0105", {"RSSException"}}, // refused before any socket
    };
}

// Slow endings, mixed in now and then.
std::vector<MixedCase> serveOccasional(LoopbackServer& server)
{
    server.serve("/silent", rawResponse({}, Mode::Silent));
    return {
        {server.url("/silent"), {"NetException"}},              // the receive limit
        {L"http://quillfeed-test.invalid/x", {"NetException"}}, // asks the system's resolver
    };
}

// Fetches `rounds` times over every kind of ending; returns the outcomes that
// ended otherwise than expected.
std::vector<FetchOutcome> fetchMixed(int rounds)
{
    FetchLimits limits;
    limits.ioTimeoutMs = 1000; // the silent server ends on it; every other answer comes far sooner
    const FetchControl control(limits);
    LoopbackServer server("127.0.4.50");
    const std::vector<MixedCase> common = serveMixed(server);
    const std::vector<MixedCase> occasional = serveOccasional(server);
    std::vector<FetchOutcome> unexpected;
    for (int i = 0; i < rounds; ++i) {
        const MixedCase& c = i % 30 == 29 ? occasional[i / 30 % occasional.size()] : common[i % common.size()];
        const FetchOutcome outcome = fetchOutcome(c.address, control);
        if (c.kinds.count(outcome.kind) == 0)
            unexpected.push_back(outcome);
    }
    return unexpected;
}

using HttpClientLeaks = testing::Test;

TEST_F(HttpClientLeaks, HundredsOfFetchesLeaveNoSocketAndNoWinsockStart)
{
    {
        const UniqueWinsock hold = testWinsock();
        EXPECT_EQ(fetchMixed(60), std::vector<FetchOutcome>{}); // what WinSock keeps for good is made here
        const std::map<int, size_t> before = settledHandles();
        EXPECT_EQ(fetchMixed(240), std::vector<FetchOutcome>{});
        EXPECT_EQ(grownTypes(before, settledHandles(), 2), std::vector<std::string>{});
    }
    EXPECT_TRUE(winsockFullyCleanedUp());
}

TEST_F(HttpClientLeaks, ProbesSeeALeftOpenSocketAndAnUnpairedStart)
{
    {
        const UniqueWinsock hold = testWinsock();
        const std::map<int, size_t> before = settledHandles();
        std::vector<SOCKET> leaked;
        for (int i = 0; i < 3; ++i)
            leaked.push_back(socket(AF_INET, SOCK_STREAM, 0));
        EXPECT_EQ(grownTypes(before, handlesByType(), 2).size(), 1u);
        for (SOCKET socket : leaked)
            closesocket(socket);
        EXPECT_EQ(grownTypes(before, settledHandles(), 0), std::vector<std::string>{});
    }
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 0), &data), 0);
    EXPECT_FALSE(winsockFullyCleanedUp());
    WSACleanup();
    EXPECT_TRUE(winsockFullyCleanedUp());
}

} // namespace
