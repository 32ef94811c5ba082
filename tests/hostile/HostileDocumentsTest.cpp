// Documents built to hurt a parser — deep nesting, one huge text node, a
// hundred thousand attributes, a body over the size cap — each met by a whole
// notifying refresh: read correctly, or refused with its exact warning.
#include <memory>

#include "HostileRefresh.h"
#include "LoopbackServer.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

namespace {

using Lines = std::vector<std::wstring>;

constexpr size_t kMaxResponse = 12u << 20;
constexpr size_t kHugeText = 10u << 20;
constexpr size_t kAttributes = 100000;
constexpr auto kNoHang = std::chrono::seconds(60);

std::string repeated(const std::string& piece, size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string manyAttributes(bool distinctNames)
{
    std::string text;
    for (size_t i = 0; i < kAttributes; ++i) {
        const std::string number = std::to_string(i);
        text += " " + (distinctNames ? "a" + number : std::string("r")) + "=\"" + number + "\"";
    }
    return text;
}

// Text of the size given, with the spaces and line breaks of real prose.
std::string hugeText()
{
    std::string text = repeated("Lorem ipsum dolor sit amet &amp; consectetur\n", kHugeText / 45 + 1);
    text.resize(kHugeText, 'x');
    return text;
}

// Characters the reader shows for the text: line breaks dropped, each "&amp;" one '&'.
size_t shownLength(const std::string& text)
{
    size_t length = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 5, "&amp;") == 0)
            i += 4;
        length += text[i] != '\n';
    }
    return length;
}

struct DocumentCase {
    std::string name;
    std::string path;
    std::string document;
    Lines announcements; // given the address
    Lines channels;
};

// Far deeper than recursive descent or release survives on a worker's stack.
std::vector<DocumentCase> deepCases(const LoopbackServer& server)
{
    constexpr size_t kDeepInItem = 200000;
    constexpr size_t kDeepDocument = 300000;
    constexpr size_t kDeepBroken = 100000;
    const std::string brokenDeep = "<rss>" + repeated("<a>", kDeepBroken) + "</b>";
    return {
        {"nesting 200 000 deep inside an item",
         "/deep-item",
         feedDocument("Deep", {{"Deep item", "deep", "",
                                "<description>" + repeated("<d>", kDeepInItem) + repeated("</d>", kDeepInItem) +
                                    "</description>\n"}}),
         {notifyLine(L"Deep item"), newsLine(L"deep")},
         {L"Deep"}},
        // The top-level element's first child is the channel: an empty one.
        {"nesting 300 000 deep, never closed", "/deep-document", repeated("<a>", kDeepDocument), {}, {L""}},
        {"nesting 100 000 deep, closed wrongly",
         "/deep-broken",
         brokenDeep,
         {errorLine(L"XML", server.url("/deep-broken"),
                    L"Wrong nesting, expecting b but found a at position " + std::to_wstring(brokenDeep.size() - 1))},
         {}},
    };
}

std::vector<DocumentCase> largeCases(const LoopbackServer& server)
{
    return {
        {"a 10 MB text node",
         "/huge-text",
         feedDocument("Huge", {{"Huge item", "huge", "", "<description>" + hugeText() + "</description>\n"}}),
         {notifyLine(L"Huge item"), newsLine(L"huge")},
         {L"Huge"}},
        {"100 000 attributes on one element",
         "/attributes",
         feedDocument("Attributes", {{"Many", "many", manyAttributes(true), ""}}),
         {notifyLine(L"Many"), newsLine(L"many")},
         {L"Attributes"}},
        {"one attribute given 100 000 times",
         "/repeated-attribute",
         feedDocument("Repeated", {{"Same", "same", manyAttributes(false), ""}}),
         {notifyLine(L"Same"), newsLine(L"same")},
         {L"Repeated"}},
        {"a body over the size cap",
         "/too-large",
         feedDocument("Too large",
                      {{"Cut", "cut", "", "<description>" + std::string(kMaxResponse, 'y') + "</description>\n"}}),
         {errorLine(L"RSS", server.url("/too-large"), L"Response too large")},
         {}},
    };
}

class HostileDocuments : public HostileRefresh {
protected:
    // Serves each case and refreshes it alone; the results, named, as found and as expected.
    void run(LoopbackServer& server, std::vector<DocumentCase> cases)
    {
        useLimits(5000, 30000, kMaxResponse);
        takeBaseline(server);
        for (DocumentCase& c : cases) {
            server.serve(c.path, std::move(c.document));
            expected.push_back({c.name, {c.announcements, c.channels, true}});
            found.push_back({c.name, refresh(server.url(c.path), kNoHang)});
            if (!plugin.store.channels.empty() && !plugin.store.channels[0]->items.empty())
                firstDescriptions.push_back(plugin.store.channels[0]->items[0].description.size());
        }
    }

    std::vector<CaseResult> expected;
    std::vector<CaseResult> found;
    std::vector<size_t> firstDescriptions; // length of the first item's description, per case read
};

TEST_F(HostileDocuments, DeepNestingIsReadOrRefusedWithItsWarning)
{
    LoopbackServer server("127.0.8.3");
    run(server, deepCases(server));
    EXPECT_EQ(found, expected);
}

TEST_F(HostileDocuments, LargeDocumentsAreReadOrRefusedWithTheirWarning)
{
    LoopbackServer server("127.0.8.7");
    run(server, largeCases(server));
    EXPECT_EQ(found, expected);
    const std::string huge = hugeText();
    ASSERT_FALSE(firstDescriptions.empty());
    EXPECT_EQ(firstDescriptions[0], shownLength(huge)) << "the 10 MB text was not read whole";
}

// The rebuild carries the whole 10 MB text into the tree: channel, its link,
// the item, its description and its date.
TEST_F(HostileRefresh, HugeTextReachesThePanelWhole)
{
    useLimits(5000, 30000, kMaxResponse);
    LoopbackServer server("127.0.8.4");
    takeBaseline(server);
    const std::string text(kHugeText, 'z');
    server.serve("/huge", feedDocument("Huge", {{"Huge item", "huge", "", "<description>" + text + "</description>"}}));
    ASSERT_TRUE(refresh(server.url("/huge"), kNoHang).ended);
    HWND tree = plugin.panel.tree.load();
    EXPECT_EQ(treeNodeCount(), 5u);
    const auto channel = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    const auto link = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)channel));
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)link));
    const auto detail = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item));
    std::wstring buffer(kHugeText + 16, L'\0');
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = detail;
    query.pszText = buffer.data();
    query.cchTextMax = static_cast<int>(buffer.size());
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)));
    EXPECT_EQ(wcslen(buffer.c_str()), kHugeText);
    EXPECT_EQ(buffer.find_first_not_of(L'z'), kHugeText);
}

// The parser keeps them all (the reader ignores attributes, so the refresh above
// cannot tell): the last value of a repeated name, every distinct name.
TEST(HostileParser, KeepsEveryAttribute)
{
    struct Count {
        std::string name;
        size_t attributes;
        std::string lastValue;
    };
    std::vector<Count> expected{{"distinct", kAttributes, "99999"}, {"repeated", 1, "99999"}};
    std::vector<Count> found;
    for (bool distinct : {true, false}) {
        auto document = std::make_unique<XmlNode>();
        XmlParser parser("<item" + manyAttributes(distinct) + "/>", document.get());
        ASSERT_EQ(document->children.size(), 1u);
        const auto& attributes = document->children[0]->attributes;
        const auto last = attributes.find(distinct ? "a99999" : "r");
        found.push_back({distinct ? "distinct" : "repeated", attributes.size(),
                         last == attributes.end() ? "<none>" : last->second});
    }
    auto same = [](const Count& a, const Count& b) {
        return a.name == b.name && a.attributes == b.attributes && a.lastValue == b.lastValue;
    };
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_TRUE(same(found[i], expected[i]))
            << expected[i].name << ": " << found[i].attributes << " attributes, last " << found[i].lastValue;
}

} // namespace
