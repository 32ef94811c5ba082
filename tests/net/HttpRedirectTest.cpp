// Address forms on the wire and redirects, over plain http on loopback.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "net/HttpClient.h"
#include "net/HttpMessage.h"

namespace {

using Requests = std::vector<std::string>;

std::string get(const std::string& path, const std::string& host)
{
    return HttpMessage::request(host, path); // its bytes are pinned in HttpMessageTest
}

ScriptedResponse redirect(const std::string& location, const std::string& status = "302 Found")
{
    return rawResponse({"HTTP/1.1 " + status + "\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n"});
}

FetchOutcome body(const std::string& text)
{
    return {"body", L"", 0, text};
}

FetchOutcome rssFailure(const wchar_t* message)
{
    return {"RSSException", message, 0, {}};
}

TEST(HttpAddressForms, RequestBytesFollowTheAddress)
{
    LoopbackServer server("127.0.4.170");
    LoopbackServer onPort("127.0.4.170", 8080);
    server.serve("/", "root");
    server.serve("/feed", "feed");
    onPort.serve("/feed", "port feed");
    const struct {
        const wchar_t* address;
        FetchOutcome expected;
        bool onPort; // answered by the 8080 server
        std::string request;
    } cases[] = {
        {L"http://127.0.4.170", body("root"), false, get("/", "127.0.4.170")},
        {L"HTTP://127.0.4.170/feed", body("feed"), false, get("/feed", "127.0.4.170")},
        {L"  feed://127.0.4.170/feed", body("feed"), false, get("/feed", "127.0.4.170")},
        {L"feed:http://127.0.4.170/feed", body("feed"), false, get("/feed", "127.0.4.170")},
        {L"http://127.0.4.170:80/feed", body("feed"), false, get("/feed", "127.0.4.170")},
        {L"http://127.0.4.170:8080/feed", body("port feed"), true, get("/feed", "127.0.4.170:8080")},
        {L"127.0.4.170:8080/feed", body("port feed"), true, get("/feed", "127.0.4.170:8080")},
    };
    for (const auto& c : cases) {
        const std::string name = testing::PrintToString(std::wstring(c.address));
        EXPECT_EQ(fetchOutcome(c.address), c.expected) << name;
        const Requests requests = (c.onPort ? onPort : server).requests();
        ASSERT_FALSE(requests.empty()) << name;
        EXPECT_EQ(requests.back(), c.request) << name;
    }
    EXPECT_EQ(server.requests().size() + onPort.requests().size(), std::size(cases));
}

TEST(HttpRedirects, FollowedToTheirEnd)
{
    LoopbackServer server("127.0.4.171");
    LoopbackServer other("127.0.4.172");
    LoopbackServer onPort("127.0.4.171", 8081);
    server.serve("/dir/relative", redirect("feed.xml"));
    server.serve("/dir/feed.xml", "relative");
    server.serve("/absolute-path", redirect("/dir/feed.xml", "301 Moved Permanently"));
    server.serve("/other-host", redirect("http://127.0.4.172/there", "307 Temporary Redirect"));
    other.serve("/there", "there");
    server.serve("/see-other", redirect("//127.0.4.172/there?x=1", "303 See Other"));
    other.serve("/there?x=1", "query");
    server.serve("/to-port", redirect("http://127.0.4.171:8081/p", "308 Permanent Redirect"));
    onPort.serve("/p", redirect("../q"));
    onPort.serve("/q", "on the port");
    for (int hop = 1; hop <= 5; ++hop)
        server.serve("/hop" + std::to_string(hop),
                     redirect(hop == 5 ? "/dir/feed.xml" : "/hop" + std::to_string(hop + 1)));
    const struct {
        const char* path;
        FetchOutcome expected;
    } cases[] = {
        {"/dir/relative", body("relative")}, {"/absolute-path", body("relative")}, {"/other-host", body("there")},
        {"/see-other", body("query")},       {"/to-port", body("on the port")},    {"/hop1", body("relative")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fetchOutcome(server.url(c.path)), c.expected) << c.path;
    EXPECT_EQ(onPort.requests(), (Requests{get("/p", "127.0.4.171:8081"), get("/q", "127.0.4.171:8081")}));
}

TEST(HttpRedirects, RefusedWithOneClearError)
{
    LoopbackServer server("127.0.4.173");
    for (int hop = 1; hop <= 6; ++hop)
        server.serve("/hop" + std::to_string(hop), redirect(hop == 6 ? "/end" : "/hop" + std::to_string(hop + 1)));
    server.serve("/end", "end");
    server.serve("/a", redirect("/b"));
    server.serve("/b", redirect("http://127.0.4.173/a"));
    server.serve("/self", redirect("self"));
    server.serve("/ftp", redirect("ftp://127.0.4.173/feed"));
    server.serve("/script", redirect("javascript:alert(1)"));
    server.serve("/no-location", httpResponse("", "301 Moved Permanently"));
    server.serve("/bad-port", redirect("http://127.0.4.173:0/end"));
    const struct {
        const char* path;
        FetchOutcome expected;
        size_t connections;
    } cases[] = {
        {"/hop1", rssFailure(L"Too many redirects"), 6},
        {"/a", rssFailure(L"Redirect loop"), 2},
        {"/self", rssFailure(L"Redirect loop"), 1},
        {"/ftp", rssFailure(L"Redirect to an address that is not supported"), 1},
        {"/script", rssFailure(L"Redirect to an address that is not supported"), 1},
        {"/no-location", rssFailure(L"Redirect without a location"), 1},
        {"/bad-port", rssFailure(L"Address has an invalid port number (1 to 65535)"), 1},
    };
    for (const auto& c : cases) {
        const size_t before = server.connectionCount();
        EXPECT_EQ(fetchOutcome(server.url(c.path)), c.expected) << c.path;
        EXPECT_EQ(server.connectionCount() - before, c.connections) << c.path;
    }
}

// Each hop alone is well within the deadline; together they are not.
TEST(HttpRedirects, WholeFetchDeadlineCoversEveryHop)
{
    LoopbackServer server("127.0.4.174");
    for (int hop = 1; hop <= 5; ++hop) {
        ScriptedResponse slow =
            rawResponse({"HTTP/1.0 302 Found\r\nLocation: /hop" + std::to_string(hop + 1) + "\r\n", "\r\n"});
        slow.pauseBetweenChunksMs = 400;
        server.serve("/hop" + std::to_string(hop), slow);
    }
    server.serve("/hop6", "end");
    FetchLimits limits;
    limits.deadlineMs = 1000;
    EXPECT_EQ(fetchOutcome(server.url("/hop1"), FetchControl(limits)),
              (FetchOutcome{"NetException", L"Download took too long", WSAETIMEDOUT, {}}));
    EXPECT_LT(server.connectionCount(), 5u);
}

} // namespace
