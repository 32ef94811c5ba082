// The real DLL asking politely over successive refreshes: conditional requests
// with the validators of the last 200 answer, 304 showing the last channel
// again, a 429 or 503 with Retry-After leaving the address alone meanwhile,
// and a feed moved for good asked where it went.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "Compressed.h"
#include "E2eSupport.h"
#include "FeedDocuments.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "ScratchFolder.h"
#include "TestTime.h"
#include "devhost/FeedList.h"
#include "net/HttpAnswer.h"
#include "net/HttpMessage.h"

namespace {

using Lines = std::vector<std::wstring>;

const int64_t kBase = utcSeconds(2026, 5, 4, 12, 0, 0);
// What follows the Host line of a plain request, but its empty line.
std::string plainRequestTail()
{
    const std::string plain = HttpMessage::request("h", "/");
    const size_t from = plain.find("\r\n", plain.find("Host: ")) + 2;
    return plain.substr(from, plain.size() - 2 - from);
}

// An answer with these header lines (each ending in CR LF) before the empty line.
ScriptedResponse answer(const std::string& status, const std::string& headers, const std::string& body = "")
{
    return rawResponse({"HTTP/1.1 " + status + "\r\n" + headers + "\r\n" + body});
}

// One chunk for the whole text, then the last chunk.
std::string chunkedBody(const std::string& text)
{
    char size[32];
    snprintf(size, sizeof size, "%zx\r\n", text.size());
    return size + text + "\r\n0\r\n\r\n";
}

std::string feed(const std::vector<std::string>& titles)
{
    std::vector<FeedItem> items;
    for (const std::string& title : titles)
        items.push_back({title, "http://x/" + title, "g-" + title, kBase});
    return rssDocument("Feed", items);
}

// An HTTP date `offset` seconds from now, as a server writes it.
std::string httpDate(int64_t offset)
{
    const __time64_t when = _time64(nullptr) + offset;
    tm parts{};
    _gmtime64_s(&parts, &when);
    char text[64];
    strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

class PoliteRefresh : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useUtc(); }

    void start(const char* address)
    {
        serveAt(address);
        ASSERT_TRUE(plugin.load());
    }

    // A new server, and the list its one feed; earlier addresses are forgotten.
    void serveAt(const char* address)
    {
        server = std::make_unique<LoopbackServer>(address);
        std::wstring error;
        ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join({server->url("/feed")}), error)) << error;
    }

    // One refresh with this answer served: "notify <title>" and "warning <title> | <text>".
    Lines refresh(const ScriptedResponse& served)
    {
        server->serve("/feed", served);
        const size_t mark = plugin.host.events().size();
        EXPECT_TRUE(plugin.refresh(true));
        Lines lines;
        for (const Notification& notice : plugin.notificationsSince(mark))
            lines.push_back((notice.flags == 3 ? L"notify " : L"warning ") + notice.title +
                            (notice.text ? L" | " + *notice.text : L""));
        return lines;
    }

    // The top-level lines of the panel: the channels shown.
    Lines shownChannels()
    {
        Lines titles;
        for (const TreeLine& line : plugin.host.panels().outline())
            if (line.depth == 0)
                titles.push_back(line.text);
        return titles;
    }

    std::string lastRequest() const { return server->requests().back(); }
    std::wstring failure() const
    {
        return L"warning RSS error - " + server->url("/feed") + L" | HTTP response code diffrent than 200 received";
    }

    ScratchFolder scratch;
    HostedPlugin plugin{scratch.path(L"quillFeed.cfg")};
    std::unique_ptr<LoopbackServer> server;
};

TEST_F(PoliteRefresh, AsksWithTheValidatorsOfTheLastAnswerAndShowsTheChannelAgainOn304)
{
    struct Case {
        const char* name;
        std::string validators;  // header lines of the 200 answer
        std::string conditional; // the lines the next request adds
    };
    const Case cases[] = {
        {"ETag only", "ETag: \"v1\"\r\n", "If-None-Match: \"v1\"\r\n"},
        {"Last-Modified only", "Last-Modified: Mon, 04 May 2026 11:00:00 GMT\r\n",
         "If-Modified-Since: Mon, 04 May 2026 11:00:00 GMT\r\n"},
        {"both", "Last-Modified: Mon, 04 May 2026 11:00:00 GMT\r\nETag:  W/\"v2\" \r\n",
         "If-None-Match: W/\"v2\"\r\nIf-Modified-Since: Mon, 04 May 2026 11:00:00 GMT\r\n"},
        {"neither", "", ""},
        {"a value that would break the request", "ETag: \"a\rInjected: yes\"\r\n", ""},
    };
    start("127.0.7.50");
    int round = 0;
    for (const Case& c : cases) {
        const std::string first = "First " + std::to_string(++round);
        refresh(answer("200 OK", c.validators, feed({first})));
        // A 304 to a request without validators is not an answer: the last check fails.
        const Lines second = refresh(answer("304 Not Modified", ""));
        const std::string sent = lastRequest();
        const std::string tail = plainRequestTail() + c.conditional + "\r\n";
        EXPECT_EQ(sent.substr(sent.size() - std::min(sent.size(), tail.size())), tail) << c.name;
        EXPECT_EQ(second, c.conditional.empty() ? Lines{failure()} : Lines{}) << c.name;
        EXPECT_EQ(shownChannels(), c.conditional.empty() ? Lines{} : Lines{L"Feed"}) << c.name;
    }
}

// Validators sent, a fresh 200 back: read and announced as ever, and its own
// validators (none here) replace the old ones.
TEST_F(PoliteRefresh, ServerIgnoringTheValidatorsIsReadAsEver)
{
    start("127.0.7.51");
    EXPECT_EQ(refresh(answer("200 OK", "ETag: \"v1\"\r\n", feed({"A"}))), Lines{L"notify A"});
    EXPECT_EQ(refresh(answer("200 OK", "", feed({"B", "A"}))), Lines{L"notify B"});
    EXPECT_NE(lastRequest().find("If-None-Match: \"v1\"\r\n"), std::string::npos);
    EXPECT_EQ(shownChannels(), Lines{L"Feed"});
    refresh(answer("200 OK", "", feed({"B", "A"})));
    EXPECT_EQ(lastRequest().find("If-"), std::string::npos) << "validators of an older answer were sent";
}

TEST_F(PoliteRefresh, FirstAnswer304IsAWarning)
{
    start("127.0.7.52");
    EXPECT_EQ(refresh(answer("304 Not Modified", "ETag: \"x\"\r\n")), Lines{failure()});
    EXPECT_EQ(shownChannels(), Lines{});
    EXPECT_EQ(refresh(answer("200 OK", "", feed({"A"}))), Lines{L"notify A"});
}

// A 429 or 503 is one warning and leaves the last channel shown; with a wait
// still to come the address is not asked and nothing more is said.
TEST_F(PoliteRefresh, RetryAfterKeepsTheAddressQuietUntilItPasses)
{
    struct Case {
        const char* name;
        std::string status;
        std::string retryAfter;
        bool askedAgain; // on the next refresh
    };
    const Case cases[] = {
        {"429, seconds", "429 Too Many Requests", "3600", false},
        {"429, date", "429 Too Many Requests", httpDate(3600), false},
        {"503, seconds", "503 Service Unavailable", "120", false},
        {"503, date past", "503 Service Unavailable", httpDate(-3600), true},
        {"429, no value", "429 Too Many Requests", "", true},
        {"429, unreadable", "429 Too Many Requests", "soon", true},
    };
    const char* const addresses[] = {"127.0.7.53", "127.0.7.54", "127.0.7.55",
                                     "127.0.7.56", "127.0.7.57", "127.0.7.58"};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        if (i == 0)
            start(addresses[i]);
        else
            serveAt(addresses[i]); // an address of its own: nothing remembered of it
        EXPECT_EQ(refresh(answer("200 OK", "", feed({"A"}))), Lines{L"notify A"}) << c.name;
        const std::string header = c.retryAfter.empty() ? "" : "Retry-After: " + c.retryAfter + "\r\n";
        EXPECT_EQ(refresh(answer(c.status, header)), Lines{failure()}) << c.name;
        EXPECT_EQ(shownChannels(), Lines{L"Feed"}) << c.name;

        const size_t asked = server->connectionCount();
        EXPECT_EQ(refresh(answer(c.status, header)), Lines{}) << c.name;
        EXPECT_EQ(server->connectionCount(), asked + (c.askedAgain ? 1 : 0)) << c.name;
        EXPECT_EQ(shownChannels(), Lines{L"Feed"}) << c.name;
    }
}

// An answer cut short is not the feed: its items are not announced, the last
// whole channel stays shown, and the validators stay those of that channel.
TEST_F(PoliteRefresh, BrokenOffAnswerLeavesTheLastChannel)
{
    start("127.0.7.59");
    EXPECT_EQ(refresh(answer("200 OK", "ETag: \"v1\"\r\n", feed({"First"}))), Lines{L"notify First"});
    const std::string whole = feed({"First", "Second"});
    const std::string length = "Content-Length: " + std::to_string(whole.size()) + "\r\n";
    const Lines cut = refresh(answer("200 OK", "ETag: \"v2\"\r\n" + length, whole.substr(0, whole.size() / 2)));
    EXPECT_EQ(cut, Lines{L"warning RSS error - " + server->url("/feed") + L" | The server broke off its answer"});
    EXPECT_EQ(shownChannels(), Lines{L"Feed"});
    refresh(answer("304 Not Modified", ""));
    EXPECT_NE(lastRequest().find("If-None-Match: \"v1\"\r\n"), std::string::npos) << lastRequest();
    EXPECT_EQ(refresh(answer("200 OK", "", whole)), Lines{L"notify Second"});
}

// A strict front end: HTTP/1.0 refused (426), a list of types it cannot give
// refused (406), compression only for a client that asks for it.
TEST_F(PoliteRefresh, StrictFrontEndServesTheFeedCompressed)
{
    start("127.0.7.60");
    const std::string document = feed({"Packed"});
    server->serve("/feed", [document](const std::string& request) {
        const std::string head = request + "\r\n\r\n";
        if (request.find(" HTTP/1.1\r\n") == std::string::npos)
            return answer("426 Upgrade Required", "Content-Length: 0\r\n");
        if (HttpMessage::headerValue(head, "accept").find("application/rss+xml") == std::string::npos)
            return answer("406 Not Acceptable", "Content-Length: 0\r\n");
        if (HttpMessage::headerValue(head, "accept-encoding").find("gzip") == std::string::npos)
            return answer("403 Forbidden", "Content-Length: 0\r\n");
        const std::string packed = compressed(document, Wrapping::Gzip);
        return answer("200 OK", "Content-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n",
                      chunkedBody(packed));
    });
    const size_t mark = plugin.host.events().size();
    ASSERT_TRUE(plugin.refresh(true));
    const auto notices = plugin.notificationsSince(mark);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].title, L"Packed");
    EXPECT_EQ(shownChannels(), Lines{L"Feed"});
}

// "name /path" for each request `server` read since `from`, "?" marking a
// conditional one; sorted, as the fetches run in parallel.
void collect(const LoopbackServer& server, const char* name, size_t from, std::vector<std::string>& asks)
{
    const auto requests = server.requests();
    for (size_t i = from; i < requests.size(); ++i)
        asks.push_back(name + (" " + requests[i].substr(4, requests[i].find(' ', 4) - 4)) +
                       (requests[i].find("If-None-Match:") != std::string::npos ? "?" : ""));
    std::sort(asks.begin(), asks.end());
}

// A feed moved for good is asked where it went, across refreshes and a
// restart of the library, while it reads well there; a temporary redirect is
// followed every time; an hour's max-age is not asked again but stays shown.

TEST(MovedFeed, PermanentMovesAreRememberedWhileTheirTargetReadsWell)
{
    useUtc();
    LoopbackServer old("127.0.7.70");
    LoopbackServer fresh("127.0.7.71");
    const std::string feed = rssDocument("Moved", {});
    old.serve("/feed", answer("301 Moved Permanently", "Location: http://127.0.7.71/feed\r\n"));
    old.serve("/temp", answer("302 Found", "Location: http://127.0.7.71/temp\r\n"));
    ScriptedResponse tagged = answer("200 OK", "ETag: \"m\"\r\n", feed);
    tagged.notModifiedIf = "If-None-Match: \"m\"";
    fresh.serve("/feed", tagged);
    fresh.serve("/temp", answer("200 OK", "", rssDocument("Temp", {})));
    fresh.serve("/hourly", answer("200 OK", "Cache-Control: max-age=3600\r\n", rssDocument("Hourly", {})));
    const Lines list = {old.url("/feed"), old.url("/temp"), fresh.url("/hourly")};
    const Lines moved = {L"log Feed moved: " + list[0] + L" -> " + fresh.url("/feed") +
                         L" (the list still holds the old address)"};

    ScratchFolder scratch;
    auto plugin = std::make_unique<HostedPlugin>(scratch.path(L"quillFeed.cfg"));
    std::wstring error;
    ASSERT_TRUE(plugin->host.storeFeedList(FeedList::join(list), error)) << error;
    const Lines failed = {L"warning RSS error - " + list[0] + L" | HTTP response code diffrent than 200 received " +
                          L"(asked where the feed moved: " + fresh.url("/feed") + L")"};
    enum class Fresh { Feed, Fails, Gone };
    const struct {
        const char* name;
        bool restart;
        Fresh target;
        std::vector<std::string> asked;
        Lines told;
        long shown;
    } steps[] = {
        {"the move followed and logged", true, Fresh::Feed,
         {"new /feed", "new /hourly", "new /temp", "old /feed", "old /temp"}, moved, 3},
        {"the new address asked directly, conditionally; the hour not over", false, Fresh::Feed,
         {"new /feed?", "new /temp", "old /temp"}, {}, 3},
        {"a restart remembers the move; the hourly feed has nothing to show", true, Fresh::Feed,
         {"new /feed", "new /hourly", "new /temp", "old /temp"}, {}, 3},
        {"the new address fails: a warning naming it", false, Fresh::Fails, {"new /feed?", "new /temp", "old /temp"},
         failed, 2},
        {"the move is asked for again at the listed address", false, Fresh::Feed,
         {"new /feed?", "new /temp", "old /feed", "old /temp"}, moved, 3},
        {"the new address gone: the old one asked again, no warning", false, Fresh::Gone,
         {"new /feed?", "new /temp", "old /feed", "old /temp"}, {}, 3},
        {"the old address from now on", false, Fresh::Gone, {"new /temp", "old /feed", "old /temp"}, {}, 3},
    };
    for (const auto& step : steps) {
        if (step.restart) {
            plugin.reset(); // one host per process: the library is freed first
            plugin = std::make_unique<HostedPlugin>(scratch.path(L"quillFeed.cfg"));
            ASSERT_TRUE(plugin->load()) << step.name;
        }
        fresh.serve("/feed", step.target == Fresh::Feed ? tagged
                             : step.target == Fresh::Fails ? answer("500 Oops", "")
                                                            : answer("410 Gone", ""));
        if (step.target == Fresh::Gone)
            old.serve("/feed", answer("200 OK", "", feed));
        const size_t oldFrom = old.requests().size();
        const size_t freshFrom = fresh.requests().size();
        const size_t mark = plugin->host.events().size();
        ASSERT_TRUE(plugin->refresh()) << step.name;
        std::vector<std::string> asked;
        collect(old, "old", oldFrom, asked);
        collect(fresh, "new", freshFrom, asked);
        EXPECT_EQ(asked, step.asked) << step.name;
        EXPECT_EQ(toldSince(*plugin, mark), step.told) << step.name;
        const Lines tree = outlineOf(plugin->host.panels());
        EXPECT_EQ(std::count_if(tree.begin(), tree.end(), [](const std::wstring& line) { return line[0] != L' '; }),
                  step.shown)
            << step.name << ": every address shown but a failing one";
    }
}

} // namespace
