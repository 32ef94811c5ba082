// Rebuilding the tree from hand-built channels, on a worker thread as a refresh does.
#include "PanelFixture.h"
#include "TestTime.h"

namespace {

constexpr int kNoImage = -1;

struct Expected {
    std::wstring text;
    int image;
    LPARAM data;
};

// Checks one node's text, image, selected image and item data.
void expectNode(const TreeNode& node, const Expected& expected, const std::string& where)
{
    EXPECT_EQ(node.text, expected.text) << where;
    EXPECT_EQ(node.image, expected.image) << where << " text " << testing::PrintToString(node.text);
    EXPECT_EQ(node.selectedImage, expected.image) << where << " text " << testing::PrintToString(node.text);
    EXPECT_EQ(node.data, expected.data) << where << " text " << testing::PrintToString(node.text);
}

void expectLeaves(const std::vector<TreeNode>& nodes, const std::vector<Expected>& expected, const std::string& where)
{
    ASSERT_EQ(nodes.size(), expected.size()) << where << ": " << testing::PrintToString(texts(nodes));
    for (size_t i = 0; i < nodes.size(); ++i) {
        expectNode(nodes[i], expected[i], where + " #" + std::to_string(i));
        EXPECT_TRUE(nodes[i].children.empty()) << where << " #" << i;
    }
}

Channel fullChannel()
{
    Channel channel = channelTitled(L"Kanał");
    channel.link = L"http://example.test/";
    channel.description = L"Opis kanału";
    channel.category = L"news";
    channel.copyright = L"(c) 2024";
    channel.language = L"pl";
    // Fields the tree does not show.
    channel.cloud = L"cloud";
    channel.docs = L"docs";
    channel.generator = L"generator";
    channel.image = L"image";
    channel.lastBuildDate = 1700000000;
    channel.managingEditor = L"editor";
    channel.pubDate = 1700000000;
    channel.rating = L"rating";
    channel.skipDays = L"days";
    channel.skipHours = L"hours";
    channel.textInput = L"input";
    channel.ttl = 60;
    channel.webMaster = L"webmaster";
    return channel;
}

Item fullItem()
{
    Item item = itemTitled(L"Wiadomość");
    item.link = L"http://example.test/1";
    item.description = L"Treść";
    item.author = L"jan@example.test";
    item.pubDate = 1700000000;
    item.category = L"kraj";
    item.source = L"PAP";
    item.comments = L"http://example.test/1#c";
    item.guid = L"guid-1";         // not shown
    item.enclosure = L"enclosure"; // not shown
    return item;
}

using PanelRebuild = PanelFixture;

TEST_F(PanelRebuild, EveryDetailInItsOrderWithImageAndData)
{
    ASSERT_NE(createPanel(), nullptr);
    Channel channel = fullChannel();
    channel.items = {fullItem()};
    rebuildOnWorker({channel});

    auto tree = nodes();
    ASSERT_EQ(tree.size(), 1u);
    expectNode(tree[0], {L"Kanał", 0, 0}, "channel");
    const auto& details = tree[0].children;
    ASSERT_EQ(details.size(), 6u) << testing::PrintToString(texts(details));
    std::vector<TreeNode> channelLines(details.begin(), details.begin() + 5);
    expectLeaves(channelLines,
                 {{L"Opis kanału", kNoImage, 0},
                  {L"http://example.test/", 2, 1},
                  {L"Kategoria: news", kNoImage, 0},
                  {L"Prawa autorskie: (c) 2024", kNoImage, 0},
                  {L"Język: pl", kNoImage, 0}},
                 "channel details");
    expectNode(details[5], {L"Wiadomość", 1, 0}, "item");
    expectLeaves(details[5].children,
                 {{L"http://example.test/1", 2, 1},
                  {L"Treść", kNoImage, 0},
                  {L"Autor: jan@example.test", kNoImage, 0},
                  {L"Data: Tue Nov 14 22:13:20 2023", kNoImage, 0},
                  {L"Kategoria: kraj", kNoImage, 0},
                  {L"Źródło: PAP", kNoImage, 0},
                  {L"Komentarz: http://example.test/1#c", kNoImage, 0}},
                 "item details");
}

TEST_F(PanelRebuild, EachDetailAloneAppearsAlone)
{
    ASSERT_NE(createPanel(), nullptr);
    struct Case {
        const char* name;
        void (*fill)(Item&);
        Expected line;
    };
    const Case cases[] = {
        {"link", [](Item& i) { i.link = L"L"; }, {L"L", 2, 1}},
        {"description", [](Item& i) { i.description = L"D"; }, {L"D", kNoImage, 0}},
        {"author", [](Item& i) { i.author = L"A"; }, {L"Autor: A", kNoImage, 0}},
        {"date", [](Item& i) { i.pubDate = 1; }, {L"Data: Thu Jan 01 00:00:01 1970", kNoImage, 0}},
        {"category", [](Item& i) { i.category = L"C"; }, {L"Kategoria: C", kNoImage, 0}},
        {"source", [](Item& i) { i.source = L"S"; }, {L"Źródło: S", kNoImage, 0}},
        {"comments", [](Item& i) { i.comments = L"K"; }, {L"Komentarz: K", kNoImage, 0}},
        {"guid", [](Item& i) { i.guid = L"G"; }, {L"", 0, 0}},
        {"enclosure", [](Item& i) { i.enclosure = L"E"; }, {L"", 0, 0}},
    };
    for (const Case& c : cases) {
        Item item = itemTitled(L"item");
        c.fill(item);
        Channel channel = channelTitled(L"channel");
        channel.items = {item};
        rebuildOnWorker({channel});
        auto tree = nodes();
        ASSERT_EQ(tree.size(), 1u) << c.name;
        ASSERT_EQ(tree[0].children.size(), 1u) << c.name;
        const TreeNode& itemNode = tree[0].children[0];
        if (c.line.text.empty())
            expectLeaves(itemNode.children, {}, c.name);
        else
            expectLeaves(itemNode.children, {c.line}, c.name);
    }
}

TEST_F(PanelRebuild, EachChannelDetailAloneAppearsAlone)
{
    ASSERT_NE(createPanel(), nullptr);
    struct Case {
        const char* name;
        void (*fill)(Channel&);
        Expected line;
    };
    const Case cases[] = {
        {"description", [](Channel& c) { c.description = L"D"; }, {L"D", kNoImage, 0}},
        {"link", [](Channel& c) { c.link = L"L"; }, {L"L", 2, 1}},
        {"category", [](Channel& c) { c.category = L"C"; }, {L"Kategoria: C", kNoImage, 0}},
        {"copyright", [](Channel& c) { c.copyright = L"P"; }, {L"Prawa autorskie: P", kNoImage, 0}},
        {"language", [](Channel& c) { c.language = L"en"; }, {L"Język: en", kNoImage, 0}},
    };
    for (const Case& c : cases) {
        Channel channel = channelTitled(L"channel");
        c.fill(channel);
        rebuildOnWorker({channel});
        auto tree = nodes();
        ASSERT_EQ(tree.size(), 1u) << c.name;
        expectLeaves(tree[0].children, {c.line}, c.name);
    }
}

TEST_F(PanelRebuild, DatesAsLocalCtimeTextOrLeftOut)
{
    ASSERT_NE(createPanel(), nullptr);
    struct Case {
        const char* zone;
        int64_t pubDate;
        std::wstring line; // empty: no date line
    };
    const Case cases[] = {
        {"TZ=UTC0", 1700000000, L"Data: Tue Nov 14 22:13:20 2023"},
        {"TZ=UTC0", 1709600000, L"Data: Tue Mar 05 00:53:20 2024"},
        {"TZ=UTC0", 1, L"Data: Thu Jan 01 00:00:01 1970"},
        {"TZ=UTC0", 32535215999LL, L"Data: Wed Dec 31 23:59:59 3000"},
        {"TZ=UTC0", 32535216000LL, L""},
        {"TZ=UTC0", 0, L""},
        {"TZ=UTC0", -1, L""},
        {"TZ=UTC0", INT64_MIN, L""},
        {"TZ=XYZ-2", 1700000000, L"Data: Wed Nov 15 00:13:20 2023"},
    };
    for (const Case& c : cases) {
        _putenv(c.zone);
        _tzset();
        Item item = itemTitled(L"dated");
        item.pubDate = c.pubDate;
        Channel channel = channelTitled(L"channel");
        channel.items = {item};
        rebuildOnWorker({channel});
        auto tree = nodes();
        ASSERT_EQ(tree.size(), 1u);
        ASSERT_EQ(tree[0].children.size(), 1u);
        std::string where = std::string(c.zone) + " " + std::to_string(c.pubDate);
        if (c.line.empty())
            expectLeaves(tree[0].children[0].children, {}, where);
        else
            expectLeaves(tree[0].children[0].children, {{c.line, kNoImage, 0}}, where);
    }
    useUtc();
}

TEST_F(PanelRebuild, ChannelsAndItemsInStoreOrderWithDetailsBeforeItems)
{
    ASSERT_NE(createPanel(), nullptr);
    Channel first = channelTitled(L"first");
    first.link = L"http://first/";
    first.items = {itemTitled(L"first-1"), itemTitled(L"first-2"), itemTitled(L"first-3")};
    first.items[1].link = L"http://first/2";
    first.items[1].description = L"second item";
    Channel second = channelTitled(L"second");
    second.description = L"about second";
    second.items = {itemTitled(L"second-1")};
    Channel third = channelTitled(L"first"); // the same feed listed twice shows twice
    rebuildOnWorker({first, second, third});

    auto tree = nodes();
    ASSERT_EQ(texts(tree), (std::vector<std::wstring>{L"first", L"second", L"first"}));
    EXPECT_EQ(texts(tree[0].children),
              (std::vector<std::wstring>{L"http://first/", L"first-1", L"first-2", L"first-3"}));
    EXPECT_EQ(texts(tree[0].children[2].children), (std::vector<std::wstring>{L"http://first/2", L"second item"}));
    EXPECT_TRUE(tree[0].children[1].children.empty());
    EXPECT_EQ(texts(tree[1].children), (std::vector<std::wstring>{L"about second", L"second-1"}));
    EXPECT_TRUE(tree[2].children.empty());
    for (const TreeNode& channel : tree)
        expectNode(channel, {channel.text, 0, 0}, "channel");
    for (size_t i = 1; i < 4; ++i)
        expectNode(tree[0].children[i], {tree[0].children[i].text, 1, 0}, "item");
}

TEST_F(PanelRebuild, TitleOnlyAndEmptyTitlesStillMakeNodes)
{
    ASSERT_NE(createPanel(), nullptr);
    Channel titled = channelTitled(L"only a title");
    Channel untitled = channelTitled(L"");
    untitled.items = {itemTitled(L""), itemTitled(L"bare")};
    rebuildOnWorker({titled, untitled});

    auto tree = nodes();
    ASSERT_EQ(tree.size(), 2u);
    expectNode(tree[0], {L"only a title", 0, 0}, "title only");
    EXPECT_TRUE(tree[0].children.empty());
    expectNode(tree[1], {L"", 0, 0}, "untitled channel");
    expectLeaves(tree[1].children, {{L"", 1, 0}, {L"bare", 1, 0}}, "items without details");
}

TEST_F(PanelRebuild, NewContentReplacesTheOldAndEmptyStoreEmptiesTheTree)
{
    ASSERT_NE(createPanel(), nullptr);
    Channel old = fullChannel();
    old.items = {fullItem(), fullItem()};
    rebuildOnWorker({old, old});
    ASSERT_EQ(countNodes(nodes()), 2u * (1 + 5 + 2 * 8));
    rebuildOnWorker({channelTitled(L"new")});
    EXPECT_EQ(texts(nodes()), std::vector<std::wstring>{L"new"});
    EXPECT_EQ(countNodes(nodes()), 1u);
    rebuildOnWorker({});
    EXPECT_TRUE(nodes().empty());
    EXPECT_EQ(SendMessageW(panel.tree.load(), TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(PanelRebuild, NothingExpandedOrSelected)
{
    ASSERT_NE(createPanel(), nullptr);
    Channel channel = fullChannel();
    channel.items = {fullItem()};
    rebuildOnWorker({channel, channel});
    HWND tree = panel.tree.load();
    EXPECT_EQ(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), 0);
    std::function<void(const std::vector<TreeNode>&)> check = [&](const std::vector<TreeNode>& level) {
        for (const TreeNode& node : level) {
            EXPECT_FALSE(isExpanded(tree, node.item)) << testing::PrintToString(node.text);
            check(node.children);
        }
    };
    check(nodes());
}

TEST_F(PanelRebuild, LongAndUnusualTextsKeptExactly)
{
    ASSERT_NE(createPanel(), nullptr);
    std::wstring longLink = L"http://example.test/" + std::wstring(3000, L'x');
    Channel channel = channelTitled(L"tab\tand\r\nnew line ąćęłńóśźż 日本");
    channel.link = longLink;
    rebuildOnWorker({channel});
    auto tree = nodes();
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree[0].text, channel.title);
    ASSERT_EQ(tree[0].children.size(), 1u);
    EXPECT_EQ(tree[0].children[0].text, longLink);
}

TEST_F(PanelRebuild, WithoutATreeNothingHappensAndTheNextTreeIsFilled)
{
    ASSERT_EQ(panel.tree.load(), nullptr);
    rebuildOnWorker({channelTitled(L"lost")});
    EXPECT_EQ(panel.tree.load(), nullptr);

    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(nodes().empty()) << "a rebuild before create reached the new tree";
    rebuildOnWorker({channelTitled(L"shown")});
    EXPECT_EQ(texts(nodes()), std::vector<std::wstring>{L"shown"});

    sendPanelEvent(8);
    rebuildOnWorker({channelTitled(L"after destroy")});
    EXPECT_EQ(panel.tree.load(), nullptr);
    EXPECT_FALSE(IsWindow(tree));
}

} // namespace
