// A channel whose content changed: only the nodes of what changed are touched.
#include <algorithm>
#include <string_view>

#include "ui/OrderedMatch.h"
#include "ui/ShownTree.h"

void ShownTree::applyContent(ChannelNode& channel, const SharedChannel& next)
{
    const SharedChannel old = channel.channel; // alive until its nodes show the new one
    channel.channel = next;
    if (old->title != next->title) {
        change();
        writer_.textChanged(channel.node);
    }
    if (!channel.filled) {
        if (hasChildren(*old) != hasChildren(*next)) {
            change();
            writer_.setHasChildren(channel.node, hasChildren(*next));
        }
        return;
    }
    const HTREEITEM lastLine =
        syncLines(channel, nullptr, channelLines(*old), channelLines(*next), old.get(), nullptr);
    syncItems(channel, lastLine);
}

// Both lists name lines in the one order they are shown in; returns the last
// line node, or null when none is left.
HTREEITEM ShownTree::syncLines(ChannelNode& channel, ItemNode* item, const std::vector<Line>& was,
                               const std::vector<Line>& now, const Channel* oldChannel, const Item* oldItem)
{
    std::vector<HTREEITEM>& nodes = item != nullptr ? item->lines : channel.lines;
    const HTREEITEM parent = item != nullptr ? item->node : channel.node;
    auto textOf = [&](bool before, Line line, std::wstring& scratch) {
        if (item != nullptr)
            return itemLineText(before ? *oldItem : *item->item, line, scratch);
        return channelLineText(before ? *oldChannel : *channel.channel, line, scratch);
    };
    std::vector<HTREEITEM> kept;
    HTREEITEM last = nullptr;
    size_t i = 0, j = 0;
    while (i < was.size() || j < now.size()) {
        std::wstring a, b;
        if (i < was.size() && j < now.size() && was[i] == now[j]) {
            last = nodes[i++];
            kept.push_back(last);
            if (textOf(true, now[j], a) != textOf(false, now[j], b)) {
                change();
                writer_.textChanged(last);
            }
            ++j;
        } else if (j == now.size() || (i < was.size() && std::find(now.begin() + j, now.end(), was[i]) == now.end())) {
            remove(channel, nullptr, nodes[i++]);
        } else {
            change();
            last = add(parent, last != nullptr ? last : TVI_FIRST, {&channel, item, now[j++]}, false, false);
            kept.push_back(last);
        }
    }
    nodes = std::move(kept);
    return last;
}

// Items pair by their guid, link or title; those that keep their order keep
// their nodes, the others are removed and inserted where the feed has them.
void ShownTree::syncItems(ChannelNode& channel, HTREEITEM after)
{
    const Channel& now = *channel.channel;
    std::vector<std::wstring_view> before, keys;
    for (const auto& item : channel.items)
        before.push_back(itemKey(*item->item));
    for (const Item& item : now.items)
        keys.push_back(itemKey(item));
    const std::vector<ptrdiff_t> pairs = pairByKey(before, keys);
    const std::vector<bool> inPlace = longestIncreasingRun(pairs);
    std::vector<std::unique_ptr<ItemNode>> next(now.items.size());
    for (size_t i = 0; i < next.size(); ++i)
        if (pairs[i] != kUnmatched && inPlace[i])
            next[i] = std::move(channel.items[static_cast<size_t>(pairs[i])]);
    for (const auto& gone : channel.items)
        if (gone && gone->node != nullptr)
            remove(channel, gone.get(), gone->node);
    for (size_t i = 0; i < next.size(); ++i) {
        if (next[i]) {
            const Item& was = *next[i]->item;
            next[i]->item = &now.items[i];
            syncItem(channel, *next[i], was);
        } else {
            next[i] = std::make_unique<ItemNode>();
            next[i]->item = &now.items[i];
            change();
            addItem(channel, *next[i], after != nullptr ? after : TVI_FIRST);
        }
        after = next[i]->node;
    }
    channel.items = std::move(next);
}

void ShownTree::syncItem(ChannelNode& channel, ItemNode& item, const Item& was)
{
    const Item& now = *item.item;
    if (sameLines(was, now))
        return;
    if (was.title != now.title) {
        change();
        writer_.textChanged(item.node);
    }
    if (item.filled) {
        syncLines(channel, &item, itemLines(was), itemLines(now), nullptr, &was);
    } else if (itemLines(was).empty() != itemLines(now).empty()) {
        change();
        writer_.setHasChildren(item.node, !itemLines(now).empty());
    }
}

// New to the reader until the channel is expanded or the item selected.
void ShownTree::markAnnounced(ChannelNode& channel, const std::set<const Item*>& announced)
{
    for (const auto& item : channel.items) {
        if (item->fresh || announced.count(item->item) == 0)
            continue;
        item->fresh = true;
        change();
        writer_.setBold(item->node, true);
    }
    if (!channel.fresh) {
        channel.fresh = true;
        change();
        writer_.setBold(channel.node, true);
    }
}
