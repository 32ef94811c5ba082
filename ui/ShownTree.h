#pragma once
// The panel's account of its tree, kept on the tree's own thread: the
// channels shown, what each node shows (the tree asks for its text when it
// draws it), which nodes exist yet (a channel's when it is first expanded,
// an item's lines when the item is), and what is new to the reader (bold).
// A refresh's content comes in as a list step, a step per channel whose nodes
// need work, and an end, each a short call on the host's thread.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/PanelContent.h"
#include "ui/TreeLines.h"
#include "ui/TreeWriter.h"

struct ItemNode {
    const Item* item = nullptr; // in its channel's shared copy
    HTREEITEM node = nullptr;
    std::vector<HTREEITEM> lines; // one per itemLines(), once filled
    bool filled = false;
    bool fresh = false;    // announced, not looked at yet: bold
    bool expanded = false; // while its channel's nodes are moved
};

struct ChannelNode {
    std::wstring source;
    SharedChannel channel; // kept alive while its nodes show it
    HTREEITEM node = nullptr;
    std::vector<HTREEITEM> lines;
    std::vector<std::unique_ptr<ItemNode>> items; // once filled
    bool filled = false;
    bool fresh = false;
    // Where the reader was in it while its nodes are moved.
    bool expanded = false;
    std::optional<std::pair<ItemNode*, Line>> selection;
};

// One update, handed over step by step by the refresh's thread.
struct PanelUpdate {
    const PanelContent* content = nullptr;
    // Per channel of the content: the one shown before from the same line,
    // when it shows the same lines and none of its items was announced; then
    // only the shared copy behind the nodes changes.
    std::vector<const Channel*> sameAs;
    // Set by the list step: the channels that need a step of their own.
    std::vector<size_t> pending;
};

class ShownTree {
public:
    explicit ShownTree(HWND tree) : tree_(tree) {}
    ShownTree(const ShownTree&) = delete;
    ShownTree& operator=(const ShownTree&) = delete;

    void syncList(PanelUpdate& update);
    void syncChannel(size_t index, const PanelUpdate& update);
    void endUpdate();

    // The tree's notifications.
    void answer(NMTVDISPINFOW& info);
    void expanding(HTREEITEM node);
    void selected(HTREEITEM node);
    void deleted(HTREEITEM node) { nodes_.erase(node); }

private:
    // What a node shows: its channel, its item (none for the channel's own
    // lines) and which line.
    struct NodeRef {
        ChannelNode* channel;
        ItemNode* item;
        Line line;
    };
    // Marks the changes the panel makes itself, whose notifications are not the reader's.
    class Applying;

    std::optional<NodeRef> find(HTREEITEM node) const;
    HTREEITEM add(HTREEITEM parent, HTREEITEM after, const NodeRef& ref, bool hasChildren, bool bold);
    void change();
    void remove(ChannelNode& channel, const ItemNode* item, HTREEITEM node);

    std::vector<std::unique_ptr<ChannelNode>> rematch(const std::vector<ShownChannel>& shown);
    void lift(ChannelNode& channel);
    void place(size_t index);
    void restore(ChannelNode& channel);
    void reselect(ChannelNode& channel, const ItemNode* item, Line line);
    void fillChannel(ChannelNode& channel);
    void addChildren(ChannelNode& channel);
    void addItem(ChannelNode& channel, ItemNode& item, HTREEITEM after);
    void fillItem(ChannelNode& channel, ItemNode& item);
    void seen(ChannelNode& channel);
    void markAnnounced(ChannelNode& channel, const std::set<const Item*>& announced);

    void applyContent(ChannelNode& channel, const SharedChannel& next);
    HTREEITEM syncLines(ChannelNode& channel, ItemNode* item, const std::vector<Line>& was,
                        const std::vector<Line>& now, const Channel* oldChannel, const Item* oldItem);
    void syncItems(ChannelNode& channel, HTREEITEM after);
    void syncItem(ChannelNode& channel, ItemNode& item, const Item& was);

    HWND tree_;
    TreeWriter writer_{tree_};
    std::vector<std::unique_ptr<ChannelNode>> channels_;
    std::unordered_map<HTREEITEM, NodeRef> nodes_;
    size_t appendFrom_ = 0; // channels from here on are placed last
    bool applying_ = false;
    bool quiet_ = false;             // redrawing off until the update ends
    HTREEITEM keepOnTop_ = nullptr;  // the first visible node when it went off
    // A text handed to the tree by address must stay valid until the tree has
    // asked for two more.
    static constexpr size_t kHandedOutTexts = 3;
    std::array<std::wstring, kHandedOutTexts> handedOut_;
    size_t nextHandedOut_ = 0;
};
