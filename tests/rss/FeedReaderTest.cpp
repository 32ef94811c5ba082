#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "ChannelCompare.h"
#include "LoopbackServer.h"
#include "TestTime.h"
#include "base/RSSException.h"
#include "net/HttpClient.h"
#include "rss/FeedReader.h"
#include "rss/TextDecoding.h"

namespace {

const int64_t kOct2 = 1033563600; // Wed, 02 Oct 2002 13:00:00 in UTC

class FeedReader : public testing::Test {
protected:
    void SetUp() override { useUtc(); }
};

Channel readFrom(const LoopbackServer& server, const std::string& path)
{
    const std::wstring address = server.url(path);
    return readFeed(Url::parse(address.c_str()), FetchControl()).channel;
}

struct ShapeCase {
    const char* path;
    std::string document;
    Channel expected;
};

std::vector<ShapeCase> shapeCases()
{
    Channel beside = channelWith(L"C");
    beside.link = L"http://x/";
    return {
        {"/basic", "<rss version=\"2.0\"><channel><title>A</title><item><title>B</title></item></channel></rss>",
         channelWith(L"A", {titled(L"B")})},
        {"/items-beside-channel",
         "<rss><channel><title>C</title><link>http://x/</link></channel><item><title>I</title></item></rss>", beside},
        {"/non-rss", "<feed><title>T</title><entry><title>E</title></entry></feed>", Channel{}},
        {"/rss-alone", "<rss/>", Channel{}},
        {"/rss-empty", "<rss></rss>", Channel{}},
        {"/any-names", "<x><y><title>Y</title></y></x>", channelWith(L"Y")},
        {"/duplicates",
         "<rss><channel><title>first</title><title>second</title>"
         "<item><title>a</title><title>b</title></item></channel></rss>",
         channelWith(L"second", {titled(L"b")})},
        {"/empty-items",
         "<rss><channel><item/><item></item><item><creator>x</creator><foo>y</foo></item></channel></rss>",
         channelWith(L"", {Item{}, Item{}, Item{}})},
        {"/namespaced",
         "<rss><channel><dc:date>Wed, 02 Oct 2002 13:00:00 GMT</dc:date><title>T</title>"
         "<item><content:encoded>x</content:encoded><dc:date>Wed, 02 Oct 2002 13:00:00 GMT</dc:date>"
         "<title>I</title><media:title>M</media:title></item></channel></rss>",
         channelWith(L"T", {titled(L"I")})},
        {"/deeper-items-are-text",
         "<rss><channel><title>T</title><category><item><title>deep</title></item></category></channel></rss>",
         [] {
             Channel c = channelWith(L"T");
             c.category = L"deep";
             return c;
         }()},
    };
}

TEST_F(FeedReader, DocumentShapes)
{
    LoopbackServer server("127.0.4.100");
    const std::vector<ShapeCase> cases = shapeCases();
    for (const ShapeCase& c : cases)
        server.serve(c.path, c.document);
    for (const ShapeCase& c : cases)
        EXPECT_EQ(differences(c.expected, readFrom(server, c.path)), std::vector<std::string>{}) << c.path;
}

TEST_F(FeedReader, EveryFieldOfTheTables)
{
    const std::string document = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel>"
                                 "<title>ct</title><link>cl</link><description>cd</description>"
                                 "<category>cc</category><cloud>cu</cloud><copyright>co</copyright>"
                                 "<docs>dc</docs><generator>ge</generator><image>im</image>"
                                 "<language>la</language><lastBuildDate>Wed, 02 Oct 2002 13:00:00 GMT</lastBuildDate>"
                                 "<managingEditor>me</managingEditor><pubDate>Thu, 03 Oct 2002 13:00:00 GMT</pubDate>"
                                 "<rating>ra</rating><skipDays>sd</skipDays><skipHours>sh</skipHours>"
                                 "<textInput>ti</textInput><ttl>60</ttl><webMaster>wm</webMaster>"
                                 "<item><title>it</title><description>id</description><link>il</link>"
                                 "<author>ia</author><category>ic</category><comments>ico</comments>"
                                 "<enclosure>ie</enclosure><guid>ig</guid>"
                                 "<pubDate>Fri, 04 Oct 2002 13:00:00 GMT</pubDate><source>is</source></item>"
                                 "</channel></rss>";
    Channel expected;
    expected.title = L"ct";
    expected.link = L"http://127.0.4.101/cl"; // links resolved against the feed's address
    expected.description = L"cd";
    expected.category = L"cc";
    expected.cloud = L"cu";
    expected.copyright = L"co";
    expected.docs = L"dc";
    expected.generator = L"ge";
    expected.image = L"im";
    expected.language = L"la";
    expected.lastBuildDate = kOct2;
    expected.managingEditor = L"me";
    expected.pubDate = kOct2 + 86400;
    expected.rating = L"ra";
    expected.skipDays = L"sd";
    expected.skipHours = L"sh";
    expected.textInput = L"ti";
    expected.ttl = 60;
    expected.webMaster = L"wm";
    Item item;
    item.title = L"it";
    item.description = L"id";
    item.link = L"http://127.0.4.101/il";
    item.author = L"ia";
    item.category = L"ic";
    item.comments = L"ico";
    item.enclosure = L"http://127.0.4.101/ie";
    item.guid = L"ig";
    item.pubDate = kOct2 + 2 * 86400;
    item.source = L"is";
    expected.items = {item};
    LoopbackServer server("127.0.4.101");
    server.serve("/all", document);
    EXPECT_EQ(differences(expected, readFrom(server, "/all")), std::vector<std::string>{});
}

TEST_F(FeedReader, OwnTextOnlyAndNoAttributes)
{
    LoopbackServer server("127.0.4.102");
    server.serve("/own", "<rss><channel><image>own<url>http://i/</url><title>inner</title></image>"
                         "<cloud domain=\"c\" port=\"80\"/><textInput><name>n</name></textInput>"
                         "<title>A &amp; B &lt;i&gt;</title><description><![CDATA[<b>x</b> &amp;]]></description>"
                         "<item><enclosure url=\"http://e/\" length=\"1\"/><guid isPermaLink=\"true\">g</guid>"
                         "<source url=\"http://s/\">S</source></item></channel></rss>");
    Channel expected;
    expected.image = L"own";
    expected.title = L"A & B <i>";
    expected.description = L"<b>x</b> &amp;";
    Item item;
    item.guid = L"g";
    item.source = L"S";
    expected.items = {item};
    const Channel found = readFrom(server, "/own");
    EXPECT_EQ(differences(expected, found), std::vector<std::string>{});
}

TEST_F(FeedReader, TtlAndDatesReadAsTheyCome)
{
    struct Case {
        const char* ttl;
        int32_t expected;
    };
    const Case cases[] = {{"60", 60}, {" 15 minutes", 15}, {"soon", 0}, {"-5", -5}, {"", 0}};
    LoopbackServer server("127.0.4.103");
    for (size_t i = 0; i < std::size(cases); ++i)
        server.serve("/ttl" + std::to_string(i),
                     std::string("<rss><channel><ttl>") + cases[i].ttl +
                         "</ttl><pubDate>Wed, 2 Oct 2002 13:00:00 GMT</pubDate>"
                         "<item><pubDate>Wed, 02 Oct 02 13:00:00 GMT</pubDate></item></channel></rss>");
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Channel found = readFrom(server, "/ttl" + std::to_string(i));
        EXPECT_EQ(found.ttl, cases[i].expected) << "ttl \"" << cases[i].ttl << "\"";
        EXPECT_EQ(found.pubDate, kOct2);
        ASSERT_EQ(found.items.size(), 1u);
        EXPECT_EQ(found.items[0].pubDate, kOct2);
    }
}

TEST_F(FeedReader, DeclaredEncodingChoosesTheConversion)
{
    struct Case {
        const char* path;
        std::string declaration;
        std::string title;
        std::wstring expected;
    };
    const std::wstring polish = L"\u0105\u0119";
    const Case cases[] = {
        {"/iso-lower", "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?>", "\xb1\xea", polish},
        {"/iso-upper", "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>", "\xb1\xea", polish},
        {"/iso-mixed", "<?xml version=\"1.0\" encoding=\"Iso-8859-2\"?>", "\xb1\xea", polish},
        {"/windows-1250", "<?xml version=\"1.0\" encoding=\"windows-1250\"?>", "\xb9\xea", polish},
        {"/utf8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "\xc4\x85\xc4\x99", polish},
        {"/none", "", "\xc4\x85\xc4\x99", polish},
        {"/none-iso-bytes", "", "\xb1\xea", L"\u00b1\u00ea"}, // not UTF-8: windows-1252
    };
    LoopbackServer server("127.0.4.104");
    for (const Case& c : cases)
        server.serve(c.path, c.declaration + "<rss><channel><title>" + c.title + "</title><item><title>" + c.title +
                                 "</title></item></channel></rss>");
    for (const Case& c : cases) {
        const Channel found = readFrom(server, c.path);
        EXPECT_EQ(found.title, c.expected) << c.path;
        ASSERT_EQ(found.items.size(), 1u) << c.path;
        EXPECT_EQ(found.items[0].title, c.expected) << c.path;
    }
    EXPECT_NE(readFrom(server, "/none-iso-bytes").title, polish);
}

TEST_F(FeedReader, FetchAndParseFailuresPassThrough)
{
    LoopbackServer server("127.0.4.105");
    server.serve("/bad-xml", "<rss><channel></rss>");
    server.serve("/short", rawResponse({"HTTP/1"}));
    EXPECT_THROW(readFrom(server, "/bad-xml"), RSS::XMLException);
    EXPECT_THROW(readFrom(server, "/short"), RSS::RSSException);
    try {
        readFrom(server, "/missing");
        ADD_FAILURE() << "no failure for a 404";
    } catch (const RSS::NetException&) {
        ADD_FAILURE() << "a 404 is no network failure";
    } catch (const RSS::RSSException& e) {
        EXPECT_EQ(e.message, L"HTTP response code diffrent than 200 received");
    }
    try {
        readFeed(Url::parse(L"http://127.0.4.106/feed"), FetchControl()); // nothing listens there
        ADD_FAILURE() << "no failure without a server";
    } catch (const RSS::NetException& e) {
        EXPECT_EQ(e.message, L"Could not connect");
        EXPECT_EQ(e.errorCode, WSAECONNREFUSED);
    }
}

TEST_F(FeedReader, ManyItemsInOrder)
{
    std::string document = "<rss><channel><title>many</title>";
    Channel expected = channelWith(L"many");
    for (int i = 0; i < 2000; ++i) {
        document += "<item><title>n" + std::to_string(i) + "</title></item>";
        expected.items.push_back(titled(L"n" + std::to_wstring(i)));
    }
    document += "</channel></rss>";
    LoopbackServer server("127.0.4.107");
    server.serve("/many", document);
    EXPECT_EQ(differences(expected, readFrom(server, "/many")), std::vector<std::string>{});
}

} // namespace
