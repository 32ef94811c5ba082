// A site's address given for its feed, through the real DLL: the page is
// recognised, the feed it names is read in its place under the user's line,
// and later refreshes ask the feed alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "FeedDocuments.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "ScratchFolder.h"
#include "TestTime.h"
#include "devhost/FeedList.h"

namespace {

using Lines = std::vector<std::wstring>;

ScriptedResponse typed(const std::string& type, const std::string& body, const std::string& extra = "")
{
    return rawResponse({"HTTP/1.0 200 OK\r\nContent-Type: " + type + "\r\n" + extra + "\r\n" + body});
}

std::string page(const std::string& head)
{
    return "<!DOCTYPE html><html><head><title>Site</title>" + head + "</head><body><p>Hello</p></body></html>";
}

TEST(FoundFeed, PagesAreReadThroughTheFeedTheyName)
{
    useUtc();
    const int64_t date = utcSeconds(2026, 5, 4, 10, 0, 0);
    LoopbackServer server("127.0.7.61");
    const std::string feed = rssDocument("Found", {{"Fresh", "http://x/f", "f", date}});
    server.serve("/site/", typed("text/html; charset=utf-8",
                                 page("<link rel='alternate' type='application/rss+xml' href='feed.xml'>")));
    ScriptedResponse withTag = typed("text/xml", feed, "ETag: \"v1\"\r\n");
    withTag.notModifiedIf = "If-None-Match: \"v1\"";
    server.serve("/site/feed.xml", withTag);
    server.serve("/moved", rawResponse({"HTTP/1.0 302 Found\r\nLocation: /pages/home.html\r\n\r\n"}));
    server.serve("/pages/home.html", typed("text/html", page("<link rel=alternate type=text/xml href=../f/a.xml>")));
    server.serve("/f/a.xml", typed("text/xml", feed));
    server.serve("/xhtml", typed("application/xhtml+xml",
                                 "<?xml version='1.0'?><html xmlns='http://www.w3.org/1999/xhtml'><head><link "
                                 "rel='alternate' type='application/atom+xml' href='/site/feed.xml'/></head></html>"));
    server.serve("/plain", typed("text/html", page("<link rel=stylesheet href=s.css>")));
    server.serve("/broken", typed("text/html", page("<link rel=alternate type=application/rss+xml href=/gone.xml>")));

    const char* const paths[] = {"/site/", "/moved", "/xhtml", "/plain", "/broken"};
    std::vector<std::wstring> list;
    for (const char* path : paths)
        list.push_back(server.url(path));
    ScratchFolder scratch;
    HostedPlugin plugin{scratch.path(L"quillFeed.cfg")};
    std::wstring error;
    ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join(list), error)) << error;
    ASSERT_TRUE(plugin.load());

    const std::wstring noFeed = L"This address is a web page that names no feed: find the feed's link on the "
                                L"site and add that address";
    const Lines firstRefresh = {
        L"log Feed found for " + list[0] + L": " + server.url("/site/feed.xml"), L"notify Fresh",
        L"news f " + std::to_wstring(date),
        L"log Feed found for " + list[1] + L": " + server.url("/f/a.xml"), L"notify Fresh",
        L"news f " + std::to_wstring(date),
        L"log Feed found for " + list[2] + L": " + server.url("/site/feed.xml"), L"notify Fresh",
        L"news f " + std::to_wstring(date),
        L"warning RSS error - " + list[3] + L" | " + noFeed,
        L"warning RSS error - " + list[4] + L" | HTTP response code diffrent than 200 received (the feed found on "
                                            L"the page: " + server.url("/gone.xml") + L")"};
    size_t mark = plugin.host.events().size();
    ASSERT_TRUE(plugin.refresh());
    EXPECT_EQ(toldSince(plugin, mark), firstRefresh);

    // The steady state: each found feed alone, conditionally where it can be.
    const size_t asked = server.requests().size();
    mark = plugin.host.events().size();
    ASSERT_TRUE(plugin.refresh());
    EXPECT_EQ(toldSince(plugin, mark), (Lines{L"log Warning not repeated: " + firstRefresh[9].substr(8),
                                              L"log Warning not repeated: " + firstRefresh[10].substr(8)}));
    std::vector<std::string> asks;
    size_t conditional = 0;
    const auto requests = server.requests();
    for (size_t i = asked; i < requests.size(); ++i) {
        asks.push_back(requests[i].substr(0, requests[i].find(" HTTP/")));
        conditional += requests[i].find("If-None-Match: \"v1\"") != std::string::npos;
    }
    std::sort(asks.begin(), asks.end());
    EXPECT_EQ(asks, (std::vector<std::string>{"GET /broken", "GET /f/a.xml", "GET /gone.xml", "GET /plain",
                                              "GET /site/feed.xml", "GET /site/feed.xml"}));
    EXPECT_EQ(conditional, 2u);
}

} // namespace
