// Reading a channel from a body's bytes: the markup real feeds use, their
// references, encodings and dates, and two whole feeds from tests/rss/data.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ChannelCompare.h"
#include "TestTime.h"
#include "base/RSSException.h"
#include "rss/ChannelReader.h"

namespace {

std::string rss(const std::string& channelContent, const std::string& prolog = "")
{
    return prolog + "<rss version=\"2.0\"><channel>" + channelContent + "</channel></rss>";
}

std::string dataFile(const std::string& name)
{
    std::ifstream file(std::string(QF_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct ReadCase {
    const char* name;
    std::string document;
    Channel expected;
};

class ChannelReader : public testing::Test {
protected:
    void SetUp() override { useLocalZone("UTC0"); }

    static void expectChannels(const std::vector<ReadCase>& cases)
    {
        for (const ReadCase& c : cases)
            EXPECT_EQ(differences(c.expected, readChannel(c.document)), std::vector<std::string>{}) << c.name;
    }
};

Channel described(const std::wstring& description)
{
    Channel channel;
    channel.description = description;
    return channel;
}

TEST_F(ChannelReader, DeclarationsBeforeTheRootAreSkipped)
{
    const std::string item = "<title>T</title><item><title>I</title></item>";
    expectChannels({
        {"public DTD",
         rss(item, "<?xml version=\"1.0\"?>\n<!DOCTYPE rss PUBLIC \"-//Netscape Communications//DTD RSS 0.91//EN\"\n"
                   "  \"http://my.netscape.com/publish/formats/rss-0.91.dtd\">\n"),
         channelWith(L"T", {titled(L"I")})},
        {"system DTD", rss(item, "<!DOCTYPE rss SYSTEM \"rss.dtd\">"), channelWith(L"T", {titled(L"I")})},
        {"internal subset", rss(item, "<!DOCTYPE rss [<!ENTITY c \"(c)\"><!ELEMENT rss ANY>]>"),
         channelWith(L"T", {titled(L"I")})},
    });
}

TEST_F(ChannelReader, CdataSectionsAreText)
{
    Channel unclosed = channelWith(L"T", {Item{}});
    expectChannels({
        {"] and > inside", rss("<title><![CDATA[a[1] > b]]></title>"), channelWith(L"a[1] > b")},
        {"markup inside", rss("<description><![CDATA[<p>Hi <b>there</b></p>]]></description>"),
         described(L"<p>Hi <b>there</b></p>")},
        {"references inside kept as written",
         rss("<title>a &amp; b</title><item><title><![CDATA[a &amp; b]]></title></item>"),
         channelWith(L"a & b", {titled(L"a &amp; b")})},
        {"empty section", rss("<title><![CDATA[]]></title>"), channelWith(L"")},
        {"line breaks left out", rss("<title><![CDATA[one\r\ntwo\tthree]]></title>"), channelWith(L"onetwothree")},
        {"section on a line of its own", rss("<title>\n  <![CDATA[T]]>\n</title>"), channelWith(L"  T")},
        {"unclosed section skips the rest", "<rss><channel><title>T</title><item><title><![CDATA[x</title></item>",
         unclosed},
    });
}

TEST_F(ChannelReader, TextIsAllCharacterDataInDocumentOrder)
{
    expectChannels({
        {"comment inside", rss("<title>Breaking: <!-- x -->storm</title>"), channelWith(L"Breaking: storm")},
        {"runs, section and instruction", rss("<title>Part <![CDATA[one]]> and <?php echo 1; ?>two</title>"),
         channelWith(L"Part one and two")},
        {"raw XHTML", rss("<description>lead <b>bold <i>and</i> more</b> tail<br/>end</description>"),
         described(L"lead bold and more tailend")},
        {"starts with a child", rss("<description><p>One</p><p>Two &amp; three</p></description>"),
         described(L"OneTwo & three")},
        {"section after a child", rss("<description><p>a</p><![CDATA[<b>&amp;</b>]]></description>"),
         described(L"a<b>&amp;</b>")},
        {"containers keep their own text", rss("<image>logo<url>http://x/</url>after</image>"),
         [] {
             Channel c;
             c.image = L"logo";
             return c;
         }()},
    });
}

TEST_F(ChannelReader, WellFormedMarkupIsAccepted)
{
    expectChannels({
        {"> in text", rss("<title>NBA > NCAA</title><item><title>a -> b</title></item>"),
         channelWith(L"NBA > NCAA", {titled(L"a -> b")})},
        {"line breaks after names",
         "<rss\n\tversion=\"2.0\"\r\n\txmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n<channel\n>"
         "<title\tlang=\"en\">T</title><item\r\n><title\n>I</title></item></channel></rss>",
         channelWith(L"T", {titled(L"I")})},
    });
}

TEST_F(ChannelReader, EveryTextFieldHasItsReferencesDecoded)
{
    const char* const channelNames[] = {"title",     "link",           "description", "category", "cloud",  "copyright",
                                        "docs",      "generator",      "image",       "language", "rating", "skipDays",
                                        "skipHours", "managingEditor", "textInput",   "webMaster"};
    const char* const itemNames[] = {"title",    "description", "link", "author", "category",
                                     "comments", "enclosure",   "guid", "source"};
    const std::string text = "&lt;x&gt; &amp; &#8211;&#x2013;";
    const std::wstring shown = L"<x> & \u2013\u2013";
    std::string content, item;
    for (const char* name : channelNames)
        content += std::string("<") + name + ">" + text + "</" + name + ">";
    for (const char* name : itemNames)
        item += std::string("<") + name + ">" + text + "</" + name + ">";
    Channel expected;
    for (std::wstring* field :
         {&expected.title, &expected.link, &expected.description, &expected.category, &expected.cloud,
          &expected.copyright, &expected.docs, &expected.generator, &expected.image, &expected.language,
          &expected.rating, &expected.skipDays, &expected.skipHours, &expected.managingEditor, &expected.textInput,
          &expected.webMaster})
        *field = shown;
    Item expectedItem;
    for (std::wstring* field : {&expectedItem.title, &expectedItem.description, &expectedItem.link,
                                &expectedItem.author, &expectedItem.category, &expectedItem.comments,
                                &expectedItem.enclosure, &expectedItem.guid, &expectedItem.source})
        *field = shown;
    expected.items = {expectedItem};
    expectChannels({
        {"every field", rss(content + "<item>" + item + "</item>"), expected},
        {"others stay as written", rss("<title>AT&amp;T &nbsp;&#0;&amp</title>"), channelWith(L"AT&T \u00a0&#0;&amp")},
        {"a reference gives its character in any encoding",
         rss("<title>\xb1 &#261; &#x105;</title>", "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?>"),
         channelWith(L"\u0105 \u0105 \u0105")},
    });
}

TEST_F(ChannelReader, DeclaredEncodingsChooseTheirCodePages)
{
    struct EncodingCase {
        const char* encoding; // nullptr: no declaration
        std::string bytes;
        std::wstring expected;
    };
    const std::wstring polish = L"\u0105\u0119";
    const std::wstring russian = L"\u041f\u0440\u0438\u0432\u0435\u0442";
    const std::vector<EncodingCase> cases = {
        {"iso-8859-2", "\xb1\xea", polish},
        {"ISO-8859-2", "\xb1\xea", polish},
        {"Iso-8859-2", "\xb1\xea", polish},
        {"latin2", "\xb1\xea", polish},
        {"windows-1250", "\xb9\xea", polish},
        {"Windows-1250", "\xb9\xea", polish},
        {"windows-1251", "\xcf\xf0\xe8\xe2\xe5\xf2", russian},
        {"ISO-8859-1", "caf\xe9", L"caf\u00e9"},
        {"latin1", "caf\xe9", L"caf\u00e9"},
        {"windows-1252", "\x93q\x94 \x80", L"\u201cq\u201d \u20ac"},
        {"iso-8859-15", "\xa4", L"\u20ac"},
        {"KOI8-R", "\xf0\xd2\xc9\xd7\xc5\xd4", russian},
        {"koi8-u", "\xa4", L"\u0454"},
        {"US-ASCII", "plain", L"plain"},
        {"utf-8", "\xc4\x85\xc4\x99", polish},
        {"UTF-8", "\xc4\x85\xc4\x99", polish},
        {"x-unknown", "\xc4\x85\xc4\x99", polish},
        {nullptr, "\xc4\x85\xc4\x99", polish},
    };
    for (const EncodingCase& c : cases) {
        const std::string prolog =
            c.encoding ? std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding + "\"?>" : std::string();
        const Channel found = readChannel(rss("<title>" + c.bytes + "</title>", prolog));
        EXPECT_EQ(found.title, c.expected) << (c.encoding ? c.encoding : "(none)");
    }
}

TEST_F(ChannelReader, ByteOrderMarkAndUndeclaredBytesChooseTheEncoding)
{
    struct DocumentCase {
        const char* name;
        std::string prolog;
        std::string bytes;
        std::wstring expected;
    };
    const std::string bom = "\xEF\xBB\xBF";
    const std::vector<DocumentCase> cases = {
        {"single-quoted declaration", "<?xml version='1.0' encoding='windows-1250'?>", "\xb9\xea", L"\u0105\u0119"},
        {"blanks around the label", "<?xml version=\"1.0\" encoding=\" Windows-1250 \"?>", "\xb9", L"\u0105"},
        {"byte-order mark wins over the declaration", bom + "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?>",
         "\xc4\x85", L"\u0105"},
        {"undeclared, not UTF-8: windows-1252", "",
         "\x93"
         "caf\xe9\x94 \x80",
         L"\u201ccaf\u00e9\u201d \u20ac"},
        {"undeclared, UTF-8 elsewhere", "", "caf\xc3\xa9 \xe2\x80\x94", L"caf\u00e9 \u2014"},
        {"undeclared, overlong UTF-8 form is not UTF-8", "", "\xc0\xaf", L"\u00c0\u00af"},
        {"undeclared, encoded surrogate is not UTF-8", "", "\xed\xa0\x80", L"\u00ed\u00a0\u20ac"},
        {"declared UTF-8 keeps its replacement", "<?xml version=\"1.0\" encoding=\"utf-8\"?>", "a\xe9", L"a\ufffd"},
    };
    for (const DocumentCase& c : cases)
        EXPECT_EQ(readChannel(rss("<title>" + c.bytes + "</title>", c.prolog)).title, c.expected) << c.name;
}

std::string utf16(const std::u16string& text, bool bigEndian) // after its byte-order mark
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text)
        bytes += {static_cast<char>(bigEndian ? unit >> 8 : unit), static_cast<char>(bigEndian ? unit : unit >> 8)};
    return bytes;
}

// In ISO-2022-JP, 社者実式 begin with the byte '<', 愛 and 陰 end with '&' and '"'.
TEST_F(ChannelReader, Iso2022JpAndUtf16DocumentsAreConvertedBeforeParsing)
{
    const std::string jis = "<title>\x1b$B<R<T<B<00&1\"\x1b(B</title><item><title>\x1b$B<R\x1b(B&amp;</title></item>";
    const std::u16string wide =
        u"<?xml version='1.0' encoding='UTF-16'?><rss><channel><title>\u793e\u8005\u5b9f"
        u"\u5f0f\u611b\u9670</title><item><title>\xD842\xDF9F&amp;</title></item></channel></rss>";
    const std::wstring kanji = L"\u793e\u8005\u5b9f\u5f0f\u611b\u9670";
    const Channel fromJis = channelWith(kanji, {titled(L"\u793e&")});
    const Channel fromUtf16 = channelWith(kanji, {titled(L"\xD842\xDF9F&")});
    expectChannels({
        {"ISO-2022-JP", rss(jis, "<?xml version='1.0' encoding='ISO-2022-JP'?>"), fromJis},
        {"other label", rss(jis, "\r\n <?xml encoding=\"csISO2022JP\"?>"), fromJis},
        {"UTF-16 LE", utf16(wide, false), fromUtf16},
        {"UTF-16 BE", utf16(wide, true), fromUtf16},
    });
}

TEST_F(ChannelReader, DatesAreTrueInstants)
{
    Channel expected = channelWith(L"T");
    expected.lastBuildDate = utcSeconds(2026, 12, 5, 14, 30, 0);
    Item item = titled(L"I");
    item.pubDate = utcSeconds(2026, 12, 5, 22, 30, 0);
    expected.items = {item};
    expectChannels({{"one-digit day, no weekday, zones",
                     rss("<title>T</title><lastBuildDate>5 Dec 2026 14:30 GMT</lastBuildDate>"
                         "<item><title>I</title><pubDate>Sat, 5 Dec 2026 14:30:00 PST</pubDate></item>"),
                     expected}});
}

TEST_F(ChannelReader, RefusedDocumentsKeepTheirMessageAndPosition)
{
    struct ErrorCase {
        const char* name;
        std::string document;
        std::wstring message;
        int32_t position;
    };
    const std::wstring misspelt = L"Wrong nesting, expecting titel but found title";
    const std::vector<ErrorCase> cases = {
        {"NUL in a name", std::string("<rss><chan\0nel></channel></rss>", 31),
         L"Wrong nesting, expecting channel but found chan", 24},
        {"misspelt end tag", "<rss><channel><title>x</titel>", misspelt, 29},
        {"unquoted attribute", "<rss version=2.0>", L"Attribute value didn't start with quote", 13},
        // Converted before parsing, and still a position in the body.
        {"ISO-2022-JP", "<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?><rss><title>\x1b$B<R<T\x1b(B</titel>",
         misspelt, 73},
        {"UTF-16 LE", utf16(u"<rss><title>\u793e\xD842\xDF9F</titel>", false), misspelt, 46},
        {"UTF-16 BE", utf16(u"<rss><title>\u793e\xD842\xDF9F</titel>", true), misspelt, 46},
    };
    for (const ErrorCase& c : cases) {
        try {
            readChannel(c.document);
            ADD_FAILURE() << c.name << ": no failure";
        } catch (const RSS::XMLException& e) {
            EXPECT_EQ(e.message, c.message) << c.name;
            EXPECT_EQ(e.position, c.position) << c.name;
        }
    }
}

TEST_F(ChannelReader, WholeRss091FeedInLatin1)
{
    Channel expected = channelWith(L"U.S. News & World Report");
    expected.link = L"http://usnews.example/";
    expected.description = L"Sports, science & the caf\u00e9 scene \u2013 daily";
    expected.language = L"en-us";
    expected.copyright = L"Copyright 2026, U.S. News & World Report";
    Item draft = titled(L"NBA > NCAA: why the draft changed");
    draft.link = L"http://usnews.example/sports/draft?id=1&src=rss";
    draft.description = L"Scouts say \"it's not close\" -> a look at the numbers";
    draft.pubDate = utcSeconds(2026, 12, 5, 19, 30, 0);
    Item creme = titled(L"Cr\u00e8me br\u00fbl\u00e9e \u2013 a r\u00e9sum\u00e9");
    creme.link = L"http://usnews.example/food/creme";
    creme.description = L"Recipe <b>inside</b>";
    creme.pubDate = utcSeconds(2026, 12, 4, 17, 0, 0);
    expected.items = {draft, creme};
    EXPECT_EQ(differences(expected, readChannel(dataFile("rss091-latin1.xml"))), std::vector<std::string>{});
}

TEST_F(ChannelReader, WholeBlogFeedInWindows1250WithCdata)
{
    Channel expected = channelWith(L"Gazeta \u015al\u0105ska \u2013 wiadomo\u015bci");
    expected.link = L"http://gazeta-slaska.example/";
    expected.description = L"Najnowsze wiadomo\u015bci z regionu";
    expected.language = L"pl";
    Item rail = titled(L"Koleje: tablica[1] > tablica[2]");
    rail.link = L"http://gazeta-slaska.example/?p=101";
    rail.description = L"<p>Poci\u0105gi &amp; autobusy</p>";
    rail.category = L"Transport";
    rail.author = L"redakcja"; // dc:creator stands in for the missing author
    rail.guid = L"http://gazeta-slaska.example/?p=101";
    rail.pubDate = utcSeconds(2026, 12, 5, 7, 15, 0);
    Item frost = titled(L"Mr\u00f3z i \u015bnieg na \u015anie\u017cce");
    frost.link = L"http://gazeta-slaska.example/?p=102";
    frost.description = L"Szlak zamkni\u0119ty \u2013 GOPR ostrzega";
    frost.pubDate = utcSeconds(2026, 12, 4, 17, 0, 0);
    expected.items = {rail, frost};
    EXPECT_EQ(differences(expected, readChannel(dataFile("blog-windows1250.xml"))), std::vector<std::string>{});
}

} // namespace
