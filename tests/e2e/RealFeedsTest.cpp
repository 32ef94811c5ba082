// The real DLL refreshing feeds written the way published feeds are: a
// DOCTYPE, CDATA sections, comments and '>' in text, attributes on lines of
// their own, references, declared encodings other than UTF-8, and the date
// forms and zones feeds use. Each feed alone in one notifying refresh: what
// the host is told and what the panel shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "TestPaths.h"
#include "devhost/FeedList.h"

namespace {

using Lines = std::vector<std::wstring>;

std::string feedFile(const std::string& name)
{
    return readFileBytes(windowsPath((std::string(QF_FEEDS_DIR) + "/" + name).c_str()));
}

struct FeedCase {
    const char* name;
    std::string document;
    Lines notifications;
    Lines news;
    Lines tree;
};

std::vector<FeedCase> feedCases()
{
    const std::wstring rss = L"Image/RSS | 3 | ";
    const std::wstring usNews = L"U.S. News & World Report";
    const std::wstring gazeta = L"Gazeta \u015al\u0105ska \u2013 wiadomo\u015bci";
    return {
        {"RSS 0.91 in ISO-8859-1 with a public DTD",
         feedFile("rss091-latin1.xml"),
         {rss + L"NBA > NCAA: why the draft changed | (null)",
          rss + L"Cr\u00e8me br\u00fbl\u00e9e \u2013 a r\u00e9sum\u00e9 | (null)"},
         {L"http://usnews.example/sports/draft?id=1&src=rss | NBA > NCAA: why the draft changed | " + usNews +
              L" | http://usnews.example/sports/draft?id=1&src=rss | Image/RSS | 1796499000",
          L"http://usnews.example/food/creme | Cr\u00e8me br\u00fbl\u00e9e \u2013 a r\u00e9sum\u00e9 | " + usNews +
              L" | http://usnews.example/food/creme | Image/RSS | 1796403600"},
         {usNews, L"  Sports, science & the caf\u00e9 scene \u2013 daily", L"  <http://usnews.example/>",
          L"  Prawa autorskie: Copyright 2026, U.S. News & World Report", L"  J\u0119zyk: en-us",
          L"  NBA > NCAA: why the draft changed", L"    <http://usnews.example/sports/draft?id=1&src=rss>",
          L"    Scouts say \"it's not close\" -> a look at the numbers", L"    Data: Sat Dec 05 19:30:00 2026",
          L"  Cr\u00e8me br\u00fbl\u00e9e \u2013 a r\u00e9sum\u00e9", L"    <http://usnews.example/food/creme>",
          L"    Recipe <b>inside</b>", L"    Data: Fri Dec 04 17:00:00 2026"}},
        {"blog feed in windows-1250 with CDATA",
         feedFile("blog-windows1250.xml"),
         {rss + L"Koleje: tablica[1] > tablica[2] | (null)",
          rss + L"Mr\u00f3z i \u015bnieg na \u015anie\u017cce | (null)"},
         {L"http://gazeta-slaska.example/?p=101 | Koleje: tablica[1] > tablica[2] | " + gazeta +
              L" | http://gazeta-slaska.example/?p=101 | Image/RSS | 1796454900",
          L"http://gazeta-slaska.example/?p=102 | Mr\u00f3z i \u015bnieg na \u015anie\u017cce | " + gazeta +
              L" | http://gazeta-slaska.example/?p=102 | Image/RSS | 1796403600"},
         {gazeta, L"  Najnowsze wiadomo\u015bci z regionu", L"  <http://gazeta-slaska.example/>", L"  J\u0119zyk: pl",
          L"  Koleje: tablica[1] > tablica[2]", L"    <http://gazeta-slaska.example/?p=101>",
          L"    <p>Poci\u0105gi &amp; autobusy</p>", L"    Data: Sat Dec 05 07:15:00 2026",
          L"    Kategoria: Transport", L"  Mr\u00f3z i \u015bnieg na \u015anie\u017cce",
          L"    <http://gazeta-slaska.example/?p=102>", L"    Szlak zamkni\u0119ty \u2013 GOPR ostrzega",
          L"    Data: Fri Dec 04 17:00:00 2026"}},
        {"KOI8-R with a non-BMP reference and a two-digit year",
         "<?xml version=\"1.0\" encoding=\"KOI8-R\"?>\n<rss version=\"2.0\"><channel>"
         "<title>\xee\xcf\xd7\xcf\xd3\xd4\xc9</title><item><title>\xf0\xd2\xc9\xd7\xc5\xd4 &#x1F600;</title>"
         "<guid>n-1</guid><pubDate>Tue, 10 Mar 26 09:00:00 +0300</pubDate></item></channel></rss>",
         {rss + L"\u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600 | (null)"},
         {L"n-1 | \u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600 | \u041d\u043e\u0432\u043e\u0441\u0442\u0438 |  | "
          L"Image/RSS | 1773122400"},
         {L"\u041d\u043e\u0432\u043e\u0441\u0442\u0438", L"  \u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600",
          L"    Data: Tue Mar 10 06:00:00 2026"}},
    };
}

TEST(RealFeeds, AnnouncedAndShownAsPublished)
{
    _putenv("TZ=UTC0");
    _tzset();
    LoopbackServer server("127.0.7.30");
    ScratchFolder scratch;
    HostedPlugin plugin(scratch.path(L"quillFeed.cfg"));
    ASSERT_TRUE(plugin.load());
    int index = 0;
    for (const FeedCase& c : feedCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = "/feed-" + std::to_string(++index);
        server.serve(path, c.document);
        std::wstring error;
        ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join({server.url(path)}), error)) << error;
        const size_t mark = plugin.host.events().size();
        ASSERT_TRUE(plugin.refresh(true));
        EXPECT_EQ(describe(plugin.notificationsSince(mark)), c.notifications);
        EXPECT_EQ(describe(plugin.newsSince(mark)), c.news);
        EXPECT_EQ(outlineOf(plugin.host.panels()), c.tree);
    }
}

} // namespace
