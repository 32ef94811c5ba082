#include "ui/ShownTree.h"

#include <algorithm>
#include <cwchar>
#include <string_view>

#include "ui/OrderedMatch.h"

class ShownTree::Applying {
public:
    explicit Applying(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Applying() { flag_ = was_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    bool& flag_;
    const bool was_;
};

std::optional<ShownTree::NodeRef> ShownTree::find(HTREEITEM node) const
{
    const auto found = nodes_.find(node);
    return found == nodes_.end() ? std::nullopt : std::optional<NodeRef>(found->second);
}

HTREEITEM ShownTree::add(HTREEITEM parent, HTREEITEM after, const NodeRef& ref, bool children, bool bold)
{
    const HTREEITEM node =
        writer_.insert(parent, after, {lineImage(ref.item != nullptr, ref.line), lineData(ref.line), children, bold});
    if (node != nullptr)
        nodes_[node] = ref;
    return node;
}

// The first change of an update switches drawing off until its end, and
// notes the first visible node so that the reader's view can be kept.
void ShownTree::change()
{
    if (quiet_)
        return;
    quiet_ = true;
    keepOnTop_ = writer_.firstVisible();
    writer_.redraw(false);
}

// A node about to go that holds the selection hands it to its channel.
void ShownTree::remove(ChannelNode& channel, const ItemNode* item, HTREEITEM node)
{
    change();
    const HTREEITEM selected = writer_.selected();
    if (selected != nullptr && selected != channel.node) {
        const std::optional<NodeRef> ref = find(selected);
        if (selected == node || (item != nullptr && ref && ref->item == item))
            writer_.select(channel.node);
    }
    writer_.remove(node);
}

void ShownTree::syncList(PanelUpdate& update)
{
    const Applying applying(applying_);
    const std::vector<ShownChannel>& shown = update.content->channels;
    channels_ = rematch(shown);
    for (size_t i = 0; i < shown.size(); ++i) {
        ChannelNode& channel = *channels_[i];
        if (channel.node == nullptr || channel.channel.get() != update.sameAs[i]) {
            update.pending.push_back(i);
            continue;
        }
        channel.channel = shown[i].channel; // the same lines: only the copy behind them changes
        for (size_t item = 0; item < channel.items.size(); ++item)
            channel.items[item]->item = &channel.channel->items[item];
    }
}

// The channels in the new list's order: those of a line still listed that
// keep their order keep their nodes, moved ones are lifted, the others go.
std::vector<std::unique_ptr<ChannelNode>> ShownTree::rematch(const std::vector<ShownChannel>& shown)
{
    std::vector<std::wstring_view> before, after;
    for (const auto& channel : channels_)
        before.push_back(channel->source);
    for (const ShownChannel& channel : shown)
        after.push_back(channel.source);
    const std::vector<ptrdiff_t> pairs = pairByKey(before, after);
    const std::vector<bool> inPlace = longestIncreasingRun(pairs);
    std::vector<std::unique_ptr<ChannelNode>> next(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        if (pairs[i] == kUnmatched)
            continue;
        next[i] = std::move(channels_[static_cast<size_t>(pairs[i])]);
        if (!inPlace[i])
            lift(*next[i]);
    }
    for (const auto& gone : channels_)
        if (gone && gone->node != nullptr) {
            change();
            writer_.remove(gone->node);
        }
    appendFrom_ = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (!next[i]) {
            next[i] = std::make_unique<ChannelNode>();
            next[i]->source = shown[i].source;
        }
        if (next[i]->node != nullptr)
            appendFrom_ = i + 1;
    }
    return next;
}

// A channel that moved in the list: its nodes go, what the reader had open
// and selected in it is kept for `place`.
void ShownTree::lift(ChannelNode& channel)
{
    if (channel.node == nullptr)
        return;
    channel.expanded = writer_.isExpanded(channel.node);
    for (const auto& item : channel.items)
        item->expanded = item->node != nullptr && writer_.isExpanded(item->node);
    const std::optional<NodeRef> selected = find(writer_.selected());
    if (selected && selected->channel == &channel)
        channel.selection = std::make_pair(selected->item, selected->line);
    change();
    writer_.remove(channel.node);
    channel.node = nullptr;
    channel.lines.clear();
    for (const auto& item : channel.items) {
        item->node = nullptr;
        item->lines.clear();
    }
}

void ShownTree::syncChannel(size_t index, const PanelUpdate& update)
{
    const Applying applying(applying_);
    if (index >= channels_.size() || index >= update.content->channels.size())
        return;
    ChannelNode& channel = *channels_[index];
    const SharedChannel& next = update.content->channels[index].channel;
    const bool news = anyAnnounced(*update.content, *next);
    if (!channel.channel) { // new in the list
        channel.channel = next;
        channel.fresh = news;
    }
    if (channel.node == nullptr)
        place(index);
    if (channel.channel != next)
        applyContent(channel, next);
    if (news)
        markAnnounced(channel, update.content->announced);
}

void ShownTree::place(size_t index)
{
    ChannelNode& channel = *channels_[index];
    HTREEITEM after = TVI_LAST; // appended without the tree searching for a sibling
    if (index < appendFrom_) {
        after = TVI_FIRST;
        for (size_t before = index; before > 0 && after == TVI_FIRST; --before)
            if (channels_[before - 1]->node != nullptr)
                after = channels_[before - 1]->node;
    }
    change();
    channel.node = add(TVI_ROOT, after, {&channel, nullptr, Line::Title}, hasChildren(*channel.channel), channel.fresh);
    if (channel.node != nullptr)
        restore(channel);
}

// A moved channel's nodes as they were, and where the reader was in them.
void ShownTree::restore(ChannelNode& channel)
{
    if (channel.filled)
        addChildren(channel);
    for (const auto& item : channel.items)
        if (item->expanded && item->node != nullptr)
            writer_.expand(item->node);
    if (channel.expanded)
        writer_.expand(channel.node);
    if (channel.selection)
        reselect(channel, channel.selection->first, channel.selection->second);
    channel.selection.reset();
}

void ShownTree::reselect(ChannelNode& channel, const ItemNode* item, Line line)
{
    const HTREEITEM owner = item != nullptr ? item->node : channel.node;
    const std::vector<Line> lines = item != nullptr ? itemLines(*item->item) : channelLines(*channel.channel);
    const std::vector<HTREEITEM>& nodes = item != nullptr ? item->lines : channel.lines;
    const auto index = static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    writer_.select(line == Line::Title || index >= nodes.size() ? owner : nodes[index]);
}

void ShownTree::fillChannel(ChannelNode& channel)
{
    for (const Item& item : channel.channel->items) {
        channel.items.push_back(std::make_unique<ItemNode>());
        channel.items.back()->item = &item;
    }
    channel.filled = true;
    addChildren(channel);
}

void ShownTree::addChildren(ChannelNode& channel)
{
    for (Line line : channelLines(*channel.channel))
        channel.lines.push_back(add(channel.node, TVI_LAST, {&channel, nullptr, line}, false, false));
    for (const auto& item : channel.items)
        addItem(channel, *item, TVI_LAST);
}

void ShownTree::addItem(ChannelNode& channel, ItemNode& item, HTREEITEM after)
{
    const bool children = !itemLines(*item.item).empty();
    item.node = add(channel.node, after, {&channel, &item, Line::Title}, children, item.fresh);
    if (item.node == nullptr || !item.filled)
        return;
    for (Line line : itemLines(*item.item))
        item.lines.push_back(add(item.node, TVI_LAST, {&channel, &item, line}, false, false));
}

void ShownTree::fillItem(ChannelNode& channel, ItemNode& item)
{
    item.filled = true;
    for (Line line : itemLines(*item.item))
        item.lines.push_back(add(item.node, TVI_LAST, {&channel, &item, line}, false, false));
}

void ShownTree::endUpdate()
{
    if (!quiet_)
        return;
    const Applying applying(applying_);
    quiet_ = false;
    writer_.redraw(true);
    if (keepOnTop_ != nullptr && nodes_.count(keepOnTop_) != 0 && writer_.firstVisible() != keepOnTop_)
        writer_.scrollTo(keepOnTop_);
    keepOnTop_ = nullptr;
}

void ShownTree::answer(NMTVDISPINFOW& info)
{
    TVITEMW& item = info.item;
    if (item.mask & TVIF_IMAGE) // only detail lines ask: they have no picture
        item.iImage = kNoImage;
    if (item.mask & TVIF_SELECTEDIMAGE)
        item.iSelectedImage = kNoImage;
    if ((item.mask & TVIF_TEXT) == 0)
        return;
    std::wstring scratch;
    std::wstring_view text;
    if (const std::optional<NodeRef> ref = find(item.hItem))
        text = ref->item != nullptr ? itemLineText(*ref->item->item, ref->line, scratch)
                                    : channelLineText(*ref->channel->channel, ref->line, scratch);
    if (item.pszText != nullptr && text.size() < static_cast<size_t>(std::max(item.cchTextMax, 0))) {
        std::wmemcpy(item.pszText, text.data(), text.size());
        item.pszText[text.size()] = L'\0';
        return;
    }
    // Longer than the tree's buffer: handed over by address, which the tree copies.
    std::wstring& kept = handedOut_[nextHandedOut_];
    nextHandedOut_ = (nextHandedOut_ + 1) % kHandedOutTexts;
    kept.assign(text);
    item.pszText = kept.data();
}

void ShownTree::expanding(HTREEITEM node)
{
    const std::optional<NodeRef> ref = find(node);
    if (!ref || ref->line != Line::Title)
        return;
    if (ref->item == nullptr) {
        if (!ref->channel->filled)
            fillChannel(*ref->channel);
        if (!applying_)
            seen(*ref->channel);
    } else if (!ref->item->filled) {
        fillItem(*ref->channel, *ref->item);
    }
}

void ShownTree::seen(ChannelNode& channel)
{
    if (channel.fresh)
        writer_.setBold(channel.node, false);
    channel.fresh = false;
    for (const auto& item : channel.items) {
        if (item->fresh && item->node != nullptr)
            writer_.setBold(item->node, false);
        item->fresh = false;
    }
}

void ShownTree::selected(HTREEITEM node)
{
    const std::optional<NodeRef> ref = find(node);
    if (applying_ || !ref || ref->item == nullptr || !ref->item->fresh)
        return;
    ref->item->fresh = false;
    writer_.setBold(ref->item->node, false);
    ChannelNode& channel = *ref->channel;
    const bool more = std::any_of(channel.items.begin(), channel.items.end(), [](const auto& item) { return item->fresh; });
    if (!more && channel.fresh) {
        channel.fresh = false;
        writer_.setBold(channel.node, false);
    }
}
