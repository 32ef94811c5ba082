// The real DLL refreshing feeds written the way published feeds are: a
// DOCTYPE, CDATA sections, comments and '>' in text, attributes on lines of
// their own, references, declared encodings other than UTF-8, and the date
// forms and zones feeds use; Atom and RSS 1.0, and RSS 2.0 with the Dublin
// Core and content extensions, raw XHTML, HTML entities and relative links.
// Each feed alone in one notifying refresh: what the host is told and what
// the panel shows.
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

const std::wstring kRss = L"Image/RSS | 3 | ";

FeedCase atomCase()
{
    const std::wstring plane = L"http://blog.example/2026/03/plane-iron";
    const std::wstring bench = L"http://blog.example/archive/bench";
    return {"Atom 1.0 with xml:base, XHTML content and RFC 3339 dates",
            feedFile("atom-blog.xml"),
            {kRss + L"Sharpening a plane iron | (null)", kRss + L"A new bench | (null)"},
            {L"tag:blog.example,2026:plane-iron | Sharpening a plane iron | Notes from the workshop | " + plane +
                 L" | Image/RSS | 1773149400",
             L"tag:blog.example,2026:bench | A new bench | Notes from the workshop | " + bench +
                 L" | Image/RSS | 1773306930"},
            {L"Notes from the workshop", L"  Wood and metal, weekly", L"  <http://blog.example/>",
             L"  Kategoria: crafts", L"  Prawa autorskie: \u00a9 2026 Ann Smith", L"  Sharpening a plane iron",
             L"    <" + plane + L">", L"    Stones, angles and patience.", L"    Autor: ann@blog.example (Ann Smith)",
             L"    Data: Tue Mar 10 13:30:00 2026", L"    Kategoria: tools", L"  A new bench", L"    <" + bench + L">",
             L"    Oak top, ash legs & a vise.", L"    Data: Thu Mar 12 09:15:30 2026",
             L"    \u0179r\u00f3d\u0142o: Workshop digest"}};
}

FeedCase rdfCase()
{
    return {
        "RSS 1.0 with its items beside the channel and Dublin Core dates",
        feedFile("rss10-rdf.xml"),
        {kRss + L"First post | (null)", kRss + L"Second post | (null)"},
        {L"http://planet.example/a | First post | Planet Example | http://planet.example/a | Image/RSS | 1773237600",
         L"http://planet.example/b | Second post | Planet Example | http://planet.example/b | Image/RSS | 1773301500"},
        {L"Planet Example", L"  Aggregated posts", L"  <http://planet.example/>", L"  Prawa autorskie: CC BY 4.0",
         L"  J\u0119zyk: en", L"  First post", L"    <http://planet.example/a>", L"    Hello from RDF",
         L"    Autor: Jo Bloggs", L"    Data: Wed Mar 11 14:00:00 2026", L"    Kategoria: meta", L"  Second post",
         L"    <http://planet.example/b>", L"    Data: Thu Mar 12 07:45:00 2026"}};
}

// Served as /feed-6: its relative links resolve against that address.
FeedCase extendedRssCase()
{
    const std::wstring channel = L"Blog \u017b\u00f3\u0142wia";
    const std::wstring first = L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144";
    const std::wstring post = L"http://127.0.7.30/2018/03/post";
    const std::wstring second = L"http://127.0.7.30/post-2?x=1&y=2";
    return {"RSS 2.0 in a namespace, single-quoted declaration, extensions and relative links",
            feedFile("rss20-extensions.xml"),
            {kRss + first + L" | (null)", kRss + L"Drugi wpis | (null)"},
            {post + L" | " + first + L" | " + channel + L" | " + post + L" | Image/RSS | 1520688600",
             second + L" | Drugi wpis | " + channel + L" | " + second + L" | Image/RSS | 1520697600"},
            {channel, L"  Caf\u00e9 & ogr\u00f3d", L"  <http://127.0.7.30/>", L"  " + first, L"    <" + post + L">",
             L"    Lead bold & tail\u00a0end", L"    Autor: Jan Kowalski", L"    Data: Sat Mar 10 13:30:00 2018",
             L"  Drugi wpis", L"    <" + second + L">", L"    <p>Pe\u0142ny tekst</p>",
             L"    Data: Sat Mar 10 16:00:00 2018"}};
}

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
          L"    <p>Poci\u0105gi &amp; autobusy</p>", L"    Autor: redakcja", L"    Data: Sat Dec 05 07:15:00 2026",
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
        atomCase(),
        rdfCase(),
        extendedRssCase(),
        {"Shift_JIS with a JavaScript date",
         "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss><channel><title>\x93\xfa\x96\x7b</title>"
         "<item><title>\x93\xfa\x96\x7b \xb1</title><guid>j-1</guid>"
         "<pubDate>Sat Oct 06 2018 09:00:00 GMT+0900 (JST)</pubDate></item></channel></rss>",
         {kRss + L"\u65e5\u672c \uff71 | (null)"},
         {L"j-1 | \u65e5\u672c \uff71 | \u65e5\u672c |  | Image/RSS | 1538784000"},
         {L"\u65e5\u672c", L"  \u65e5\u672c \uff71", L"    Data: Sat Oct 06 00:00:00 2018"}},
        {"ISO-8859-1 with windows-1252 punctuation and a named zone",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss><channel><title>Caf\xe9</title>"
         "<item><title>\x93Quoted\x94 \x80 5 \x97 ok</title><guid>w-1</guid>"
         "<pubDate>Wed, 02 Oct 2002 15:00:00 CEST</pubDate></item></channel></rss>",
         {kRss + L"\u201cQuoted\u201d \u20ac 5 \u2014 ok | (null)"},
         {L"w-1 | \u201cQuoted\u201d \u20ac 5 \u2014 ok | Caf\u00e9 |  | Image/RSS | 1033563600"},
         {L"Caf\u00e9", L"  \u201cQuoted\u201d \u20ac 5 \u2014 ok", L"    Data: Wed Oct 02 13:00:00 2002"}},
        {"undeclared bytes that are not UTF-8",
         "<rss><channel><title>Gr\xfc\xdf"
         "e</title><item><title>\x84"
         "Anf\xfchrung\x93</title><guid>u-1</guid>"
         "<pubDate>2002-10-02T13:00:00Z</pubDate></item></channel></rss>",
         {kRss + L"\u201eAnf\u00fchrung\u201c | (null)"},
         {L"u-1 | \u201eAnf\u00fchrung\u201c | Gr\u00fc\u00dfe |  | Image/RSS | 1033563600"},
         {L"Gr\u00fc\u00dfe", L"  \u201eAnf\u00fchrung\u201c", L"    Data: Wed Oct 02 13:00:00 2002"}},
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
