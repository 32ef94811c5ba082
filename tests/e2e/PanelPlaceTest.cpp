// The real DLL keeping the reader's place in its panel from one refresh to the
// next: only what changed is touched, the nodes the reader opened, selected
// and scrolled to stay, and what was announced since is bold until looked at.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "E2eSupport.h"
#include "FeedDocuments.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "WindowTestKit.h"
#include "devhost/FeedList.h"

namespace {

using Lines = std::vector<std::wstring>;

// A feed, served at "/" and the first letter of its title; its items are
// undated, so that a first read announces none.
struct Feed {
    std::string title;
    std::vector<std::string> items; // each also its guid
    std::string about = "about ";   // before the item's title, its description
};

Feed lettered(const std::string& title, char letter, int count)
{
    Feed feed{title, {}};
    for (int i = 1; i <= count; ++i)
        feed.items.push_back(letter + std::to_string(i));
    return feed;
}

// Where the reader is: open and bold nodes, the selection and the first visible
// node, each named by its path of texts ("A/a2").
struct Where {
    Lines open, bold;
    std::wstring selected, top;
};

// And every node's handle.
struct Place : Where {
    std::vector<HTREEITEM> nodes;
    bool operator==(const Place& o) const
    {
        return open == o.open && bold == o.bold && selected == o.selected && top == o.top && nodes == o.nodes;
    }
};

std::wstring textOf(HWND tree, HTREEITEM node)
{
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.pszText;
}

// The nodes as they are, none expanded to be read.
void walk(HWND tree, HTREEITEM node, const std::wstring& parent, Place& place)
{
    for (; node != nullptr; node = TreeView_GetNextSibling(tree, node)) {
        const std::wstring path = parent + textOf(tree, node);
        const UINT state = TreeView_GetItemState(tree, node, TVIS_EXPANDED | TVIS_BOLD);
        if (state & TVIS_EXPANDED)
            place.open.push_back(path);
        if (state & TVIS_BOLD)
            place.bold.push_back(path);
        if (node == TreeView_GetSelection(tree))
            place.selected = path;
        if (node == TreeView_GetFirstVisible(tree))
            place.top = path;
        place.nodes.push_back(node);
        walk(tree, TreeView_GetChild(tree, node), path + L"/", place);
    }
}

class PanelPlace : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.load()); }

    // Serves the feeds and makes them the list; with `etag`, a request that
    // names a feed's tag is answered 304.
    void serve(const std::vector<Feed>& feeds, bool etag = false)
    {
        std::vector<std::wstring> list;
        for (const Feed& feed : feeds) {
            std::vector<FeedItem> items;
            for (const std::string& item : feed.items)
                items.push_back({item, "", item, 0, feed.about + item});
            const std::string path = "/" + feed.title.substr(0, 1), tag = "\"" + feed.title + "\"";
            ScriptedResponse answer =
                rawResponse({"HTTP/1.1 200 OK\r\nETag: " + tag + "\r\n\r\n" + rssDocument(feed.title, items)});
            answer.notModifiedIf = etag ? "If-None-Match: " + tag : "";
            server.serve(path, answer);
            list.push_back(server.url(path));
        }
        std::wstring error;
        ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join(list), error)) << error;
    }
    void refresh() { ASSERT_TRUE(plugin.refresh(true)); }

    HWND tree() { return plugin.host.panels().tree(); }
    // The node at a path of texts, among the nodes there are.
    HTREEITEM node(const Lines& path)
    {
        HTREEITEM at = TreeView_GetRoot(tree());
        for (size_t i = 0; at != nullptr;) {
            if (textOf(tree(), at) != path[i])
                at = TreeView_GetNextSibling(tree(), at);
            else if (++i == path.size())
                return at;
            else
                at = TreeView_GetChild(tree(), at);
        }
        return nullptr;
    }
    void expand(const Lines& path) { TreeView_Expand(tree(), node(path), TVE_EXPAND); }
    void select(const Lines& path) { TreeView_SelectItem(tree(), node(path)); }
    // As the reader opens a node with the keyboard: the tree tells its parent each time.
    void reopen(const Lines& path)
    {
        select(path);
        SendMessageW(tree(), WM_KEYDOWN, VK_SUBTRACT, 0);
        SendMessageW(tree(), WM_KEYDOWN, VK_ADD, 0);
    }
    Place place()
    {
        Place found;
        walk(tree(), TreeView_GetRoot(tree()), L"", found);
        return found;
    }

    ScratchFolder scratch;
    HostedPlugin plugin{scratch.path(L"quillFeed.cfg")};
    LoopbackServer server{addressOfThisTest("127.0.7", 72)};
};

TEST_F(PanelPlace, UnchangedRefreshesTouchNothing)
{
    for (const bool etag : {true, false}) { // answered 304, then 200 with the same content
        serve({lettered("A", 'a', 40), lettered("B", 'b', 3)}, etag);
        refresh();
        expand({L"A"});
        expand({L"A", L"a2"});
        select({L"A", L"a2", L"about a2"});
        TreeView_SelectSetFirstVisible(tree(), node({L"A", L"a3"}));
        const Place before = place();
        ASSERT_EQ(before.top, L"A/a3");
        const TreeChanges changes(tree());
        refresh();
        EXPECT_NE(server.requests().back().find("If-None-Match"), std::string::npos) << "asked conditionally";
        EXPECT_EQ(changes.all(), 0u) << etag;
        EXPECT_EQ(place(), before) << etag;
    }
}

struct Change {
    const char* name;
    std::vector<Feed> before, after;
    std::vector<Lines> open;
    Lines selected, top;
    Where expected;
    size_t inserts, deletes, texts;
};

TEST_F(PanelPlace, OnlyWhatChangedIsTouched)
{
    const Feed a = lettered("A", 'a', 3), b = lettered("B", 'b', 2), c = lettered("C", 'c', 2);
    Feed longer = lettered("A", 'a', 40), grown = longer, renamed = a;
    grown.items.insert(grown.items.begin() + 2, "a2b");
    grown.items.insert(grown.items.begin(), "a0");
    renamed.title = "A renamed";
    renamed.about = "on ";
    const Change cases[] = {
        {"new items at the top and in the middle", {longer}, {grown}, {{L"A"}}, {L"A", L"a2"}, {L"A", L"a3"},
         {{L"A"}, {L"A", L"A/a0", L"A/a2b"}, L"A/a2", L"A/a3"}, 2, 0, 0},
        {"the selected item removed", {a}, {{"A", {"a1", "a3"}}}, {{L"A"}, {L"A", L"a2"}}, {L"A", L"a2", L"about a2"},
         {}, {{L"A"}, {}, L"A", L"A"}, 0, 1, 0},
        // A keeps its nodes and stays on top; C moves above it, open as it was, as a new node.
        {"channels added, removed and moved", {longer, b, c}, {c, longer, lettered("D", 'd', 1)}, {{L"A"}, {L"C"}},
         {L"A", L"a1"}, {L"A"}, {{L"C", L"A"}, {}, L"A/a1", L"A"}, 5, 2, 0},
        // The channel's title and the description of the one item open.
        {"texts changed", {a}, {renamed}, {{L"A"}, {L"A", L"a1"}}, {L"A"}, {},
         {{L"A renamed", L"A renamed/a1"}, {}, L"A renamed", L"A renamed"}, 0, 0, 2},
    };
    for (const Change& c : cases) {
        serve(c.before);
        refresh();
        for (const Lines& path : c.open)
            expand(path);
        select(c.selected);
        if (!c.top.empty())
            TreeView_SelectSetFirstVisible(tree(), node(c.top));
        const TreeChanges changes(tree());
        serve(c.after);
        refresh();
        const Place now = place();
        EXPECT_EQ(now.open, c.expected.open) << c.name;
        EXPECT_EQ(now.bold, c.expected.bold) << c.name;
        EXPECT_EQ(now.selected, c.expected.selected) << c.name;
        EXPECT_EQ(now.top, c.expected.top) << c.name;
        EXPECT_EQ(changes.inserts, c.inserts) << c.name;
        EXPECT_EQ(changes.deletes, c.deletes) << c.name;
        EXPECT_EQ(changes.texts, c.texts) << c.name;
        serve({}); // every channel goes before the next case
        refresh();
    }
}

TEST_F(PanelPlace, NewItemsAreBoldUntilTheReaderLooks)
{
    serve({lettered("A", 'a', 2), lettered("B", 'b', 1)});
    refresh();
    expand({L"A"});
    serve({{"A", {"a0", "a1", "a2", "a3"}}, {"B", {"b0", "b1"}}});
    refresh();
    EXPECT_EQ(place().bold, (Lines{L"A", L"A/a0", L"A/a3", L"B"}));
    select({L"A", L"a0"});
    EXPECT_EQ(place().bold, (Lines{L"A", L"A/a3", L"B"}));
    select({L"A", L"a3"});
    EXPECT_EQ(place().bold, (Lines{L"B"})) << "the last new item seen, its channel is not new any more";
    reopen({L"B"});
    EXPECT_EQ(place().bold, Lines{}) << "opening a channel shows its items as seen";

    serve({{"A", {"a0", "a1", "a2", "a3", "a4"}}, {"B", {"b0", "b1"}}});
    refresh();
    EXPECT_EQ(place().bold, (Lines{L"A", L"A/a4"}));
    reopen({L"A"});
    EXPECT_EQ(place().bold, Lines{});
}

} // namespace
