// The tree's own procedure: double-clicks open link lines with the shell, and
// the custom-draw answers. The opened targets are small command scripts whose
// running leaves a marker file behind.
#include <cstdio>
#include <cstring>

#include "PanelFixture.h"

namespace {

constexpr auto kOpenWait = std::chrono::seconds(15);

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The temporary folder's path is plain ASCII, as the script's own text must be.
std::string narrow(const std::wstring& text)
{
    std::string result;
    for (wchar_t c : text)
        result += static_cast<char>(c < 0x80 ? c : '?');
    return result;
}

// A folder of scripts that each create their own marker file when run.
class ScriptFolder {
public:
    ScriptFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"qf-ui-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScriptFolder()
    {
        for (const std::wstring& file : files_)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    ScriptFolder(const ScriptFolder&) = delete;
    ScriptFolder& operator=(const ScriptFolder&) = delete;

    // Writes name.cmd, which creates name.opened; returns the script's path.
    std::wstring script(const std::wstring& name)
    {
        std::wstring script = path_ + L"\\" + name + L".cmd";
        std::wstring marker = markerOf(name);
        files_.push_back(script);
        files_.push_back(marker);
        DeleteFileW(marker.c_str());
        std::string text = "@echo off\r\necho opened> \"" + narrow(marker) + "\"\r\n";
        FILE* file = _wfopen(script.c_str(), L"wb");
        if (file != nullptr) {
            fwrite(text.data(), 1, text.size(), file);
            fclose(file);
        }
        return script;
    }
    std::wstring markerOf(const std::wstring& name) const { return path_ + L"\\" + name + L".opened"; }
    bool opened(const std::wstring& name) const { return fileExists(markerOf(name)); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

class TreeProc : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        tree = createPanel(RECT{0, 0, 600, 400});
        ASSERT_NE(tree, nullptr);
        parent.activate();
        sendPanelEvent(1);
    }

    // Selects the node (as the click before a double-click does), then double-clicks on its label.
    LRESULT doubleClick(HTREEITEM item)
    {
        SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        RECT rect{};
        memcpy(&rect, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle's first bytes
        EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        LRESULT result = SendMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        pumpMessages();
        return result;
    }
    bool waitOpened(const std::wstring& name)
    {
        return pumpUntil([&] { return scripts.opened(name); }, kOpenWait);
    }

    HWND tree = nullptr;
    ScriptFolder scripts;
};

TEST_F(TreeProc, DoubleClickOnALinkLineOpensItsText)
{
    Channel channel = channelTitled(L"channel");
    channel.description = L"about";
    channel.link = scripts.script(L"channel-link");
    Item item = itemTitled(L"item");
    item.link = scripts.script(L"item-link");
    channel.items = {item};
    rebuildOnWorker({channel});
    auto nodes = this->nodes();
    ASSERT_EQ(nodes.size(), 1u);
    ASSERT_EQ(nodes[0].children.size(), 3u);
    const TreeNode& channelLink = nodes[0].children[1];
    ASSERT_EQ(channelLink.data, 1);
    const TreeNode& itemLink = nodes[0].children[2].children.at(0);
    ASSERT_EQ(itemLink.data, 1);

    doubleClick(channelLink.item);
    EXPECT_TRUE(waitOpened(L"channel-link")) << "the channel's link line was not opened";
    doubleClick(itemLink.item);
    EXPECT_TRUE(waitOpened(L"item-link")) << "the item's link line was not opened";
}

TEST_F(TreeProc, DoubleClickOnOtherLinesOnlyExpandsOrCollapses)
{
    // Lines with item data 0 whose text would open a script if it were opened.
    Channel channel = channelTitled(scripts.script(L"channel-title"));
    channel.description = scripts.script(L"description");
    Item item = itemTitled(scripts.script(L"item-title"));
    item.description = L"item details";
    item.link = scripts.script(L"proof");
    channel.items = {item};
    rebuildOnWorker({channel});
    auto nodes = this->nodes();
    ASSERT_EQ(nodes.size(), 1u);
    HTREEITEM channelNode = nodes[0].item;
    HTREEITEM description = nodes[0].children.at(0).item;
    HTREEITEM itemNode = nodes[0].children.at(1).item;
    HTREEITEM proof = nodes[0].children.at(1).children.at(0).item;

    ASSERT_FALSE(isExpanded(tree, channelNode));
    doubleClick(channelNode);
    EXPECT_TRUE(isExpanded(tree, channelNode)) << "double-click did not expand";
    doubleClick(channelNode);
    EXPECT_FALSE(isExpanded(tree, channelNode)) << "double-click did not collapse";
    doubleClick(itemNode); // ensure-visible expands the channel again
    EXPECT_TRUE(isExpanded(tree, itemNode));
    doubleClick(description);
    EXPECT_FALSE(isExpanded(tree, description));

    // The shell opens scripts in the order asked; once the link's script has
    // run, any earlier opening would have left its marker too.
    doubleClick(proof);
    ASSERT_TRUE(waitOpened(L"proof"));
    for (const wchar_t* name : {L"channel-title", L"description", L"item-title"})
        EXPECT_FALSE(scripts.opened(name)) << testing::PrintToString(std::wstring(name)) << " was opened";
}

TEST_F(TreeProc, LinkLongerThan511CharactersIsCutThere)
{
    std::wstring target = scripts.script(L"long");
    std::wstring name = L"\\long.cmd";
    std::wstring padded = scripts.path();
    while (padded.size() + 2 + name.size() <= 511)
        padded += L"\\.";
    while (padded.size() + name.size() < 511)
        padded += L"\\";
    padded += name;
    ASSERT_EQ(padded.size(), 511u);
    Channel channel = channelTitled(L"channel");
    channel.link = padded + L" and the rest, which does not name any file";
    rebuildOnWorker({channel});
    auto nodes = this->nodes();
    ASSERT_EQ(nodes.at(0).children.size(), 1u);
    doubleClick(nodes[0].children[0].item);
    EXPECT_TRUE(waitOpened(L"long")) << "the first 511 characters were not what was opened";
}

TEST_F(TreeProc, DoubleClickWithoutSelectionOpensNothing)
{
    rebuildOnWorker({});
    EXPECT_EQ(SendMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5)), 0);
    EXPECT_TRUE(IsWindow(tree));
}

TEST_F(TreeProc, CustomDrawAnswersByStage)
{
    struct Case {
        DWORD stage;
        bool coloured;
        LRESULT answer;
    };
    const Case cases[] = {
        {CDDS_PREPAINT, false, CDRF_NOTIFYITEMDRAW},
        {CDDS_ITEMPREPAINT, true, CDRF_NEWFONT},
        {CDDS_ITEMPREPAINT | CDDS_SUBITEM, true, CDRF_NEWFONT},
        // Left to the tree, which has nothing to add: the default drawing.
        {CDDS_POSTPAINT, false, CDRF_DODEFAULT},
        {CDDS_PREERASE, false, CDRF_DODEFAULT},
        {CDDS_ITEMPOSTPAINT, false, CDRF_DODEFAULT},
        {CDDS_ITEMPREERASE, false, CDRF_DODEFAULT},
        {CDDS_SUBITEM, false, CDRF_DODEFAULT},
    };
    constexpr COLORREF kBefore = 0x123456;
    for (const Case& c : cases) {
        NMTVCUSTOMDRAW draw{};
        draw.nmcd.hdr.hwndFrom = tree;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = c.stage;
        draw.clrText = kBefore;
        draw.clrTextBk = kBefore;
        LRESULT result = SendMessageW(tree, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(result, c.answer) << std::hex << c.stage;
        EXPECT_EQ(draw.clrText, c.coloured ? 0x0000FFu : kBefore) << std::hex << c.stage;
        EXPECT_EQ(draw.clrTextBk, c.coloured ? 0x00FF00u : kBefore) << std::hex << c.stage;
    }
}

TEST_F(TreeProc, OtherNotificationsAreLeftAlone)
{
    NMTVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = tree;
    draw.nmcd.hdr.code = NM_CLICK;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.clrText = 7;
    draw.clrTextBk = 8;
    SendMessageW(tree, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(draw.clrText, 7u);
    EXPECT_EQ(draw.clrTextBk, 8u);
}

} // namespace
