#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "net/HttpClient.h"
#include "net/HttpMessage.h"

namespace {

using Mode = ScriptedResponse::Mode;

const wchar_t* const kBadStatus = L"HTTP response code diffrent than 200 received";

std::string expectedRequest(const std::string& host, const std::string& path)
{
    return HttpMessage::request(host, path); // its bytes are pinned in HttpMessageTest
}

FetchOutcome body(const std::string& text)
{
    return {"body", L"", 0, text};
}

FetchOutcome rssFailure(const wchar_t* message)
{
    return {"RSSException", message, 0, {}};
}

template <size_t N>
std::string bytes(const char (&text)[N])
{
    return std::string(text, N - 1); // NUL bytes inside included
}

TEST(HttpClient, SendsExactlyTheFixedRequest)
{
    LoopbackServer server("127.0.4.1");
    server.serve("/feed", "<rss/>");
    EXPECT_EQ(fetchOutcome(L"http://127.0.4.1/feed"), body("<rss/>"));
    const std::vector<std::string> expected{expectedRequest("127.0.4.1", "/feed")};
    EXPECT_EQ(server.requests(), expected);
    EXPECT_EQ(server.connectionCount(), 1u);
}

TEST(HttpClient, PathGoesOutPercentEncodedWithoutItsFragment)
{
    LoopbackServer server("127.0.4.2");
    const std::string target = "/a/B%20c?x=1&y=%C3%A9";
    server.serve(target, "ok");
    EXPECT_EQ(fetchOutcome(L"127.0.4.2/a/B%20c?x=1&y=\u00e9#frag"), body("ok"));
    const std::vector<std::string> expected{expectedRequest("127.0.4.2", target)};
    EXPECT_EQ(server.requests(), expected);
}

TEST(HttpClient, AnswersAreCheckedAndCut)
{
    struct Case {
        const char* path;
        ScriptedResponse script;
        FetchOutcome expected;
    };
    ScriptedResponse nulChunks = rawResponse({bytes("HTTP/1.0 200 OK\r\n\r\nab\0cd"), "ef"});
    nulChunks.pauseBetweenChunksMs = 100;
    ScriptedResponse splitHeader = rawResponse({"HTTP/1.1 2", "00 OK\r\nX: y\r", "\n", "\r\nbody"});
    splitHeader.pauseBetweenChunksMs = 30;
    const Case cases[] = {
        {"/http10", httpResponse("<rss/>", "200 OK", "HTTP/1.0"), body("<rss/>")},
        {"/http11", httpResponse("<rss/>", "200 OK", "HTTP/1.1"), body("<rss/>")},
        {"/split-header", splitHeader, body("body")},
        {"/empty", httpResponse(""), body("")},
        {"/nul", nulChunks, body("abef")},
        // Bodies framed by a length: HttpFramingTest.
        {"/301", rawResponse({"HTTP/1.1 301 Moved Permanently\r\nLocation: /http10\r\n\r\n"}), body("<rss/>")},
        {"/302", httpResponse("", "302 Found"), rssFailure(L"Redirect without a location")},
        {"/300", rawResponse({"HTTP/1.1 300 Multiple Choices\r\nLocation: /http10\r\n\r\n"}), rssFailure(kBadStatus)},
        {"/404", httpResponse("not here", "404 Not Found"), rssFailure(kBadStatus)},
        {"/500", httpResponse("", "500 Internal Server Error", "HTTP/1.1"), rssFailure(kBadStatus)},
        {"/ten-bytes", rawResponse({"HTTP/1.0 2"}), rssFailure(kBadStatus)},
        {"/no-header-end", rawResponse({"HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n"}),
         rssFailure(L"No HTTP data found")},
        {"/short", rawResponse({"HTTP/1."}), rssFailure(L"No HTTP data found")},
        {"/nothing", rawResponse({}), rssFailure(L"No HTTP data found")},
    };
    LoopbackServer server("127.0.4.3");
    for (const Case& c : cases)
        server.serve(c.path, c.script);
    for (const Case& c : cases)
        EXPECT_EQ(fetchOutcome(server.url(c.path)), c.expected) << c.path;
}

TEST(HttpClient, LargeBodyOverManyChunksArrivesWhole)
{
    std::string text;
    for (int i = 0; text.size() < (3u << 20); ++i)
        text += "<item n=\"" + std::to_string(i) + "\">\xc4\x85</item>\n";
    ScriptedResponse script = rawResponse({"HTTP/1.0 200 OK\r\n\r\n"});
    for (size_t at = 0, size = 1; at < text.size(); at += size, size = size * 3 % 20011 + 1)
        script.chunks.push_back(text.substr(at, size));
    ASSERT_GT(script.chunks.size(), 100u);
    LoopbackServer server("127.0.4.4");
    server.serve("/big", script);
    const FetchOutcome outcome = fetchOutcome(server.url("/big"));
    EXPECT_EQ(outcome.kind, "body");
    EXPECT_EQ(outcome.body.size(), text.size());
    EXPECT_TRUE(outcome.body == text);
}

TEST(HttpClient, RequestLargerThanTheSocketBuffersIsSentWhole)
{
    LoopbackServer server("127.0.4.5");
    server.delayRequestReading(300); // the client meets full buffers and sends in parts
    const std::string path = "/" + std::string(12u << 20, 'p');
    server.serve(path, "ok");
    EXPECT_EQ(fetchOutcome(Url{L"127.0.4.5", std::wstring(path.begin(), path.end())}), body("ok"));
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0] == expectedRequest("127.0.4.5", path)) << "got " << requests[0].size() << " bytes";
}

TEST(HttpClient, NameLookupFailuresCarryTheWinsockCode)
{
    LoopbackServer server("127.0.4.6");
    server.serve("/feed", "ok");
    for (const wchar_t* address : {L"http://quillfeed-test.invalid/feed", L"https://quillfeed-test.invalid/feed"}) {
        const FetchOutcome outcome = fetchOutcome(address);
        EXPECT_EQ(outcome.kind, "NetException") << testing::PrintToString(std::wstring(address));
        EXPECT_EQ(outcome.message, L"Could not resolve host name");
        // WSAHOST_NOT_FOUND, WSATRY_AGAIN, WSANO_RECOVERY or WSANO_DATA
        EXPECT_GE(outcome.errorCode, WSAHOST_NOT_FOUND);
        EXPECT_LE(outcome.errorCode, WSANO_DATA);
    }
    EXPECT_EQ(server.connectionCount(), 0u);
}

TEST(HttpClient, RefusedConnectionFailsToConnect)
{
    const FetchOutcome outcome = fetchOutcome(L"http://127.0.4.7/feed"); // nothing listens there
    EXPECT_EQ(outcome, (FetchOutcome{"NetException", L"Could not connect", WSAECONNREFUSED, {}}));
}

TEST(HttpClient, HostsThatCouldEndTheirLineFailBeforeAnythingIsSent)
{
    LoopbackServer server("127.0.4.8");
    server.serve("/feed", "ok");
    for (const wchar_t* address : {L"http://127.0.4.8\u20ac/feed", L"http://127.0.4.8\u00e9/feed", L"http://127.0.4.8 x/feed"})
        EXPECT_EQ(fetchOutcome(address), rssFailure(L"Address has characters that cannot be sent"))
            << testing::PrintToString(std::wstring(address));
    EXPECT_EQ(server.connectionCount(), 0u);
}

TEST(HttpClient, ConcurrentFetchesOnSeveralThreads)
{
    LoopbackServer server("127.0.4.9");
    for (int i = 0; i < 8; ++i)
        server.serve("/feed" + std::to_string(i), "body " + std::to_string(i));
    std::vector<std::vector<FetchOutcome>> results(8);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] {
            for (int round = 0; round < 10; ++round)
                results[i].push_back(fetchOutcome(server.url("/feed" + std::to_string(i))));
        });
    for (auto& thread : threads)
        thread.join();
    for (int i = 0; i < 8; ++i)
        for (const FetchOutcome& outcome : results[i])
            EXPECT_EQ(outcome, body("body " + std::to_string(i))) << "thread " << i;
    EXPECT_EQ(server.connectionCount(), 80u);
}

} // namespace
