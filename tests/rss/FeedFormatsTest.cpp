// What the reader takes from each feed format: the top-level element and its
// namespace choose the reading, Atom's and RSS 1.0's elements map onto the
// Channel and Item fields, RSS 2.0's common extensions stand in for missing
// elements, and relative links are resolved.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChannelCompare.h"
#include "TestTime.h"
#include "net/UrlReference.h"
#include "rss/ChannelReader.h"

namespace {

const char* const kAtom = "http://www.w3.org/2005/Atom";
const std::string kDc = " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";
const std::string kContent = " xmlns:content=\"http://purl.org/rss/1.0/modules/content/\"";
const std::string kRdf = "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"";

std::string atom(const std::string& content, const std::string& attributes = "")
{
    return std::string("<feed xmlns=\"") + kAtom + "\"" + attributes + ">" + content + "</feed>";
}

std::string rss(const std::string& itemContent, const std::string& namespaces = kDc + kContent)
{
    return "<rss version=\"2.0\"" + namespaces + "><channel><title>T</title><item>" + itemContent +
           "</item></channel></rss>";
}

struct ItemCase {
    const char* name;
    std::string document;
    Item expected;
};

// The one item a document holds, compared field by field.
void expectItems(const std::vector<ItemCase>& cases, const std::wstring& address = L"")
{
    for (const ItemCase& c : cases) {
        const Channel found = readChannel(c.document, address);
        ASSERT_EQ(found.items.size(), 1u) << c.name;
        EXPECT_EQ(differences(c.expected, found.items.front()), std::vector<std::string>{}) << c.name;
    }
}

Item with(std::wstring Item::*field, const std::wstring& value, int64_t pubDate = 0)
{
    Item item;
    item.*field = value;
    item.pubDate = pubDate;
    return item;
}

class FeedFormats : public testing::Test {
protected:
    void SetUp() override { useLocalZone("UTC0"); }
};

TEST_F(FeedFormats, TheTopLevelElementAndItsNamespaceChooseTheReading)
{
    struct RootCase {
        const char* name;
        std::string document;
        std::wstring title;
        size_t items;
    };
    const std::string rdfItems = "<channel><title>C</title></channel><item><title>1</title></item>"
                                 "<item><title>2</title></item>";
    const std::vector<RootCase> cases = {
        {"RSS 2.0", "<rss><channel><title>C</title><item/></channel></rss>", L"C", 1},
        {"RSS with a default namespace",
         "<rss xmlns=\"http://backend.userland.com/rss2\"><channel><title>C</title><item/></channel></rss>", L"C", 1},
        {"RSS 1.0", "<rdf:RDF " + kRdf + " xmlns=\"http://purl.org/rss/1.0/\">" + rdfItems + "</rdf:RDF>", L"C", 2},
        {"RSS 1.0, other prefixes",
         "<r:RDF xmlns:r=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" xmlns:s=\"http://purl.org/rss/1.0/\">"
         "<s:channel><s:title>C</s:title></s:channel><s:item/></r:RDF>",
         L"C", 1},
        {"RSS 0.90",
         "<rdf:RDF " + kRdf + " xmlns=\"http://my.netscape.com/rdf/simple/0.9/\">" + rdfItems + "</rdf:RDF>", L"C", 2},
        {"RSS 1.0, namespace declared on each element",
         "<rdf:RDF " + kRdf +
             "><s:channel xmlns:s=\"http://purl.org/rss/1.0/\"><s:title>C</s:title></s:channel>"
             "<s:item xmlns:s=\"http://purl.org/rss/1.0/\"/><t:item xmlns:t=\"http://purl.org/rss/1.0/\"/></rdf:RDF>",
         L"C", 2},
        {"RDF of another vocabulary", "<rdf:RDF " + kRdf + " xmlns=\"urn:x\">" + rdfItems + "</rdf:RDF>", L"", 0},
        {"Atom 1.0", atom("<title>C</title><entry/><entry/>"), L"C", 2},
        {"Atom with a prefix",
         "<a:feed xmlns:a=\"http://www.w3.org/2005/Atom\"><a:title>C</a:title><a:entry/></a:feed>", L"C", 1},
        {"Atom 0.3", "<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><title>C</title><entry/></feed>", L"C",
         1},
        {"feed without Atom's namespace: its first child is read as a channel", "<feed><title>C</title><entry/></feed>",
         L"", 0},
        {"Atom's names in another namespace", "<feed xmlns=\"urn:x\"><x><title>C</title><item/></x></feed>", L"C", 1},
    };
    for (const RootCase& c : cases) {
        const Channel found = readChannel(c.document);
        EXPECT_EQ(found.title, c.title) << c.name;
        EXPECT_EQ(found.items.size(), c.items) << c.name;
    }
}

TEST_F(FeedFormats, AtomFeedElementsFillTheChannel)
{
    Channel expected;
    expected.title = L"Blog";
    expected.description = L"About things";
    expected.link = L"http://b.example/";
    expected.copyright = L"(c) me";
    expected.generator = L"Hugo";
    expected.lastBuildDate = utcSeconds(2024, 3, 10, 14, 30, 0);
    expected.image = L"http://b.example/logo.png";
    expected.category = L"tech";
    expected.managingEditor = L"Ann";
    const Channel found = readChannel(
        atom("<title>Blog</title><subtitle>About things</subtitle><link rel=\"self\" href=\"http://b.example/feed\"/>"
             "<link href=\"http://b.example/\"/><link rel=\"alternate\" href=\"http://b.example/other\"/>"
             "<rights>(c) me</rights><generator uri=\"x\">Hugo</generator><updated>2024-03-10T14:30:00Z</updated>"
             "<logo>http://b.example/logo.png</logo><icon>http://b.example/icon.png</icon><category term=\"tech\"/>"
             "<author><name>Ann</name><email>ann@b.example</email></author><id>urn:x</id>"));
    EXPECT_EQ(differences(expected, found), std::vector<std::string>{});
}

TEST_F(FeedFormats, AtomEntryElementsFillTheItem)
{
    const int64_t published = utcSeconds(2024, 3, 10, 13, 30, 0);
    const int64_t updated = utcSeconds(2024, 3, 11, 8, 0, 0);
    Item full;
    full.title = L"Post";
    full.link = L"http://b.example/post";
    full.enclosure = L"http://b.example/a.mp3";
    full.description = L"Short";
    full.guid = L"urn:post";
    full.pubDate = published;
    full.author = L"ann@b.example (Ann)";
    full.category = L"tools";
    full.source = L"Digest";
    const std::string dates = "<published>2024-03-10T14:30:00+01:00</published><updated>2024-03-11T08:00:00Z</updated>";
    expectItems({
        {"every element",
         atom("<entry><title>Post</title><link rel=\"enclosure\" href=\"http://b.example/a.mp3\"/>"
              "<link rel=\"replies\" href=\"http://b.example/c\"/><link href=\"http://b.example/post\"/>"
              "<content>Long</content><summary>Short</summary><id>urn:post</id>" +
              dates +
              "<author><name>Ann</name><email>ann@b.example</email></author><category term=\"tools\"/>"
              "<source><id>urn:s</id><title>Digest</title></source></entry>"),
         full},
        {"updated without published", atom("<entry><updated>2024-03-11T08:00:00Z</updated></entry>"),
         with(&Item::title, L"", updated)},
        {"content without summary", atom("<entry><content type=\"html\">&lt;p&gt;Hi&lt;/p&gt;</content></entry>"),
         with(&Item::description, L"<p>Hi</p>")},
        {"XHTML text construct",
         atom("<entry><title type=\"xhtml\"><div xmlns=\"http://www.w3.org/1999/xhtml\">A <em>new</em> "
              "<b>b</b>ench</div></title></entry>"),
         with(&Item::title, L"A new bench")},
        {"author name only", atom("<entry><author><name>Ann</name></author></entry>"), with(&Item::author, L"Ann")},
        {"author email only", atom("<entry><author><email>a@b</email></author></entry>"), with(&Item::author, L"a@b")},
        {"Atom 0.3 dates",
         "<feed xmlns=\"http://purl.org/atom/ns#\"><entry><issued>2024-03-10T13:30:00Z</issued>"
         "<modified>2024-03-11T08:00:00Z</modified></entry></feed>",
         with(&Item::title, L"", published)},
        {"elements of other namespaces ignored",
         atom("<entry><x:title xmlns:x=\"urn:x\">no</x:title><title>yes</title></entry>"), with(&Item::title, L"yes")},
    });
}

TEST_F(FeedFormats, CommonExtensionsStandInForMissingRssElements)
{
    const int64_t dcDate = utcSeconds(2024, 3, 10, 14, 30, 0);
    const int64_t pubDate = utcSeconds(2002, 10, 2, 13, 0, 0);
    const std::string dcDateElement = "<dc:date>2024-03-10T14:30:00Z</dc:date>";
    const std::string pubDateElement = "<pubDate>Wed, 02 Oct 2002 13:00:00 GMT</pubDate>";
    expectItems({
        {"dc:date alone", rss(dcDateElement), with(&Item::title, L"", dcDate)},
        {"pubDate wins, after", rss(dcDateElement + pubDateElement), with(&Item::title, L"", pubDate)},
        {"pubDate wins, before", rss(pubDateElement + dcDateElement), with(&Item::title, L"", pubDate)},
        {"unreadable pubDate", rss("<pubDate>soon</pubDate>" + dcDateElement), with(&Item::title, L"", dcDate)},
        {"dc:creator", rss("<dc:creator>Jo</dc:creator>"), with(&Item::author, L"Jo")},
        {"author wins", rss("<dc:creator>Jo</dc:creator><author>jo@x (Jo)</author>"),
         with(&Item::author, L"jo@x (Jo)")},
        {"content:encoded", rss("<content:encoded><![CDATA[<p>Full</p>]]></content:encoded>"),
         with(&Item::description, L"<p>Full</p>")},
        {"description wins", rss("<description>Short</description><content:encoded>Full</content:encoded>"),
         with(&Item::description, L"Short")},
        {"dc:subject", rss("<dc:subject>News</dc:subject>"), with(&Item::category, L"News")},
        {"Dublin Core under another prefix",
         rss("<x:creator>Jo</x:creator>", " xmlns:x=\"http://purl.org/dc/elements/1.1/\""), with(&Item::author, L"Jo")},
        {"undeclared prefix", rss("<dc:creator>Jo</dc:creator>", ""), Item()},
        {"dc prefix of another namespace", rss("<dc:creator>Jo</dc:creator>", " xmlns:dc=\"urn:x\""), Item()},
    });
    const Channel channel = readChannel("<rss" + kDc +
                                        "><channel><dc:date>2024-03-10T14:30:00Z</dc:date>"
                                        "<dc:language>pl</dc:language><dc:rights>CC</dc:rights>"
                                        "<language>en</language></channel></rss>");
    EXPECT_EQ(channel.pubDate, dcDate);
    EXPECT_EQ(channel.language, L"en");
    EXPECT_EQ(channel.copyright, L"CC");
}

TEST_F(FeedFormats, RelativeLinksAreResolved)
{
    const std::wstring address = L"http://news.example/feeds/main.xml";
    const std::string longest = "http://cdn.example/" + std::string(kMaxLinkLength - 19, 'a');
    expectItems(
        {
            {"absolute path", rss("<link>/2018/03/post</link>"),
             with(&Item::link, L"http://news.example/2018/03/post")},
            {"relative path", rss("<link>post?id=1&amp;p=2</link>"),
             with(&Item::link, L"http://news.example/feeds/post?id=1&p=2")},
            {"blanks around", rss("<link>  ../a  </link>"), with(&Item::link, L"http://news.example/a")},
            {"absolute stays", rss("<link>https://other.example/x</link>"),
             with(&Item::link, L"https://other.example/x")},
            {"enclosure", rss("<enclosure>/a.mp3</enclosure>"), with(&Item::enclosure, L"http://news.example/a.mp3")},
            {"guid untouched", rss("<guid>/x</guid>"), with(&Item::guid, L"/x")},
            {"empty link stays empty", rss("<link></link>"), Item()},
            {"xml:base on the item",
             "<rss><channel><item xml:base=\"http://cdn.example/b/\"><link>c</link></item></channel></rss>",
             with(&Item::link, L"http://cdn.example/b/c")},
            {"Atom: nested xml:base",
             atom("<entry xml:base=\"archive/\"><link href=\"post\"/></entry>", " xml:base=\"/blog/\""),
             with(&Item::link, L"http://news.example/blog/archive/post")},
            {"Atom: xml:base on the link", atom("<entry><link xml:base=\"/x/\" href=\"y\"/></entry>"),
             with(&Item::link, L"http://news.example/x/y")},
            {"blank xml:base keeps the outer one", atom("<entry xml:base=\" \"><link href=\"y\"/></entry>"),
             with(&Item::link, L"http://news.example/feeds/y")},
            {"longest link kept", rss("<link>" + longest + "</link>"),
             with(&Item::link, std::wstring(longest.begin(), longest.end()))},
            {"longer link dropped", rss("<link>" + longest + "x</link>"), Item()},
            {"longer xml:base ignored", atom("<entry xml:base=\"" + longest + "x/\"><link href=\"y\"/></entry>"),
             with(&Item::link, L"http://news.example/feeds/y")},
        },
        address);
    EXPECT_EQ(readChannel("<rss><channel><link>/</link></channel></rss>", address).link, L"http://news.example/");
    EXPECT_EQ(readChannel("<rss><channel><item><link>/a</link></item></channel></rss>").items.front().link, L"/a");
}

} // namespace
