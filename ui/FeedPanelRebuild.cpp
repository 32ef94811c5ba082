// Refills the tree from the channels of the last refresh.
#include <ctime>
#include <string>

#include "ui/FeedPanel.h"

namespace {

constexpr int kChannelImage = 0;
constexpr int kItemImage = 1;
constexpr int kLinkImage = 2;
constexpr int kNoImage = I_IMAGECALLBACK;

// Inserts nodes through the tree's messages; used on the tree's own thread.
class TreeWriter {
public:
    explicit TreeWriter(HWND tree) : tree_(tree) {}

    HTREEITEM add(HTREEITEM parent, const std::wstring& text, int image, LPARAM data = 0) const
    {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        insert.item.iImage = image;
        insert.item.iSelectedImage = image;
        insert.item.lParam = data;
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    void addLink(HTREEITEM parent, const std::wstring& link) const
    {
        if (!link.empty())
            add(parent, link, kLinkImage, FeedPanel::kLinkData);
    }

    void addDetail(HTREEITEM parent, const wchar_t* prefix, const std::wstring& field) const
    {
        if (!field.empty())
            add(parent, prefix + field, kNoImage);
    }

private:
    HWND tree_;
};

// Last second the C library's 64-bit time functions cover: 3000-12-31 23:59:59 UTC.
constexpr int64_t kLastConvertibleTime = 32535215999LL;

// The C library's wide ctime text without its line feed, which the tree would
// draw as a box; empty when it has none.
// The range is checked here too, since not every C runtime refuses values past it.
std::wstring dateText(int64_t pubDate)
{
    if (pubDate < 0 || pubDate > kLastConvertibleTime)
        return std::wstring();
    __time64_t value = pubDate;
    const wchar_t* text = _wctime64(&value);
    std::wstring line = text != nullptr ? std::wstring(text) : std::wstring();
    if (!line.empty() && line.back() == L'\n')
        line.pop_back();
    return line;
}

void addItem(const TreeWriter& writer, HTREEITEM channelNode, const Item& item)
{
    HTREEITEM node = writer.add(channelNode, item.title, kItemImage);
    writer.addLink(node, item.link);
    writer.addDetail(node, L"", item.description);
    writer.addDetail(node, L"Autor: ", item.author);
    if (item.pubDate != 0)
        writer.addDetail(node, L"Data: ", dateText(item.pubDate));
    writer.addDetail(node, L"Kategoria: ", item.category);
    writer.addDetail(node, L"Źródło: ", item.source);
    writer.addDetail(node, L"Komentarz: ", item.comments);
}

void addChannel(const TreeWriter& writer, const Channel& channel)
{
    HTREEITEM node = writer.add(TVI_ROOT, channel.title, kChannelImage);
    writer.addDetail(node, L"", channel.description);
    writer.addLink(node, channel.link);
    writer.addDetail(node, L"Kategoria: ", channel.category);
    writer.addDetail(node, L"Prawa autorskie: ", channel.copyright);
    writer.addDetail(node, L"Język: ", channel.language);
    for (const Item& item : channel.items)
        addItem(writer, node, item);
}

} // namespace

UINT FeedPanel::insertChannelMessage()
{
    static const UINT message = RegisterWindowMessageW(L"quillFeed/insertChannel");
    return message;
}

// Runs on the tree's own thread, inside its window procedure: nothing may escape.
void FeedPanel::insertChannel(HWND window, const Channel& channel) noexcept
{
    try {
        addChannel(TreeWriter(window), channel);
    } catch (...) {
        // Out of memory for a node's text: the tree keeps what was inserted so far.
    }
}

// The caller holds the store's refresh lock, so the channels stay still meanwhile.
void FeedPanel::rebuild(const ChannelList& channels)
{
    HWND window = tree.load();
    if (window == nullptr)
        return; // no tree: the next rebuild after create fills the new one
    // Each message waits until the tree's thread has carried it out, so the
    // channel it points to is only read while this thread holds the lock.
    SendMessageW(window, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    for (const SharedChannel& channel : channels)
        SendMessageW(window, insertChannelMessage(), 0, reinterpret_cast<LPARAM>(channel.get()));
}
