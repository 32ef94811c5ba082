// Documents built to hurt a parser — deep nesting, one huge text node, many
// attributes, a body over the size cap — each met by a whole notifying
// refresh: read correctly up to xml/XmlLimits.h, or refused with its exact warning.
#include <memory>

#include "HostileRefresh.h"
#include "LoopbackServer.h"
#include "xml/XmlLimits.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

namespace {

using Lines = std::vector<std::wstring>;

constexpr size_t kMaxResponse = 12u << 20;
constexpr size_t kHugeText = Xml::kMaxTextBytes;
constexpr size_t kRepeats = 100000; // one attribute given again and again
constexpr auto kNoHang = std::chrono::seconds(60);

std::string repeated(const std::string& piece, size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string manyAttributes(size_t count, bool distinctNames)
{
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        const std::string number = std::to_string(i);
        text += " " + (distinctNames ? "a" + number : std::string("r")) + "=\"" + number + "\"";
    }
    return text;
}

// Text of the longest a node may hold, with the spaces and line breaks of real
// prose (line breaks are not kept, so they do not count).
std::string hugeText()
{
    const std::string line = "Lorem ipsum dolor sit amet &amp; consectetur\n";
    std::string text = repeated(line, kHugeText / (line.size() - 1));
    return text + std::string(kHugeText - kHugeText / (line.size() - 1) * (line.size() - 1), 'x');
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

// Nesting to the depth limit, and far past it. An item's description is at depth 4.
std::vector<DocumentCase> deepCases(const LoopbackServer& server)
{
    constexpr size_t kDeepInItem = Xml::kMaxDepth - 4;
    constexpr size_t kDeepDocument = 300000;
    constexpr size_t kDeepBroken = Xml::kMaxDepth - 1;
    const std::string brokenDeep = "<rss>" + repeated("<a>", kDeepBroken) + "</b>";
    return {
        {"nesting to the limit inside an item",
         "/deep-item",
         feedDocument("Deep", {{"Deep item", "deep", "",
                                "<description>" + repeated("<d>", kDeepInItem) + repeated("</d>", kDeepInItem) +
                                    "</description>\n"}}),
         {notifyLine(L"Deep item"), newsLine(L"deep")},
         {L"Deep"}},
        {"nesting 300 000 deep, never closed",
         "/deep-document",
         repeated("<a>", kDeepDocument),
         {errorLine(L"XML", server.url("/deep-document"),
                    L"Elements nested more than " + std::to_wstring(Xml::kMaxDepth) + L" deep at position " +
                        std::to_wstring(3 * Xml::kMaxDepth + 1))},
         {}},
        {"nesting to the limit, closed wrongly",
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
        {"a text node at the limit",
         "/huge-text",
         feedDocument("Huge", {{"Huge item", "huge", "", "<description>" + hugeText() + "</description>\n"}}),
         {notifyLine(L"Huge item"), newsLine(L"huge")},
         {L"Huge"}},
        {"attributes on one element at the limit",
         "/attributes",
         feedDocument("Attributes", {{"Many", "many", manyAttributes(Xml::kMaxAttributesPerElement, true), ""}}),
         {notifyLine(L"Many"), newsLine(L"many")},
         {L"Attributes"}},
        {"one attribute given 100 000 times",
         "/repeated-attribute",
         feedDocument("Repeated", {{"Same", "same", manyAttributes(kRepeats, false), ""}}),
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
    EXPECT_EQ(firstDescriptions[0], shownLength(huge)) << "the longest text was not read whole";
}

// The whole of the longest text reaches the tree: channel, its link, the
// item, its description and its date.
TEST_F(HostileRefresh, HugeTextReachesThePanelWhole)
{
    useLimits(5000, 30000, kMaxResponse);
    LoopbackServer server("127.0.8.4");
    takeBaseline(server);
    const std::string text(kHugeText, 'z');
    server.serve("/huge", feedDocument("Huge", {{"Huge item", "huge", "", "<description>" + text + "</description>"}}));
    ASSERT_TRUE(refresh(server.url("/huge"), kNoHang).ended);
    HWND tree = plugin.panel.tree.load();
    const std::vector<TreeNode> nodes = readTree(tree); // expands every node
    EXPECT_EQ(treeNodeCount(), 5u);
    ASSERT_EQ(countNodes(nodes), 5u);
    const HTREEITEM detail = nodes[0].children.at(1).children.at(0).item;
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
    const size_t most = Xml::kMaxAttributesPerElement;
    std::vector<Count> expected{{"distinct", most, std::to_string(most - 1)}, {"repeated", 1, "99999"}};
    std::vector<Count> found;
    for (bool distinct : {true, false}) {
        auto document = std::make_unique<XmlNode>();
        XmlParser parser("<item" + manyAttributes(distinct ? most : kRepeats, distinct) + "/>", document.get());
        ASSERT_EQ(document->children.size(), 1u);
        const auto& attributes = document->children[0]->attributes;
        const auto last = attributes.find(distinct ? "a" + std::to_string(most - 1) : "r");
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
