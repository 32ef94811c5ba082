// The tree's own procedure: double-clicks open link lines to web addresses with
// the shell, and the custom-draw answers. Whatever the shell could start for a
// link (a program, a file on a share, a protocol handler) is a copy of a
// recorder program that leaves a marker file behind, so the tests see what the
// shell was given.
#include <cstdlib>
#include <cstring>
#include <optional>

#include "PanelFixture.h"
#include "TestPaths.h"
#include "base/UniqueHandle.h"
#include "ui/LinkForShell.h"

namespace {

constexpr auto kOpenWait = std::chrono::seconds(15);
const wchar_t* const kShareServer = L"203.0.113.9";

std::optional<std::wstring> readMarker(const std::wstring& path)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::nullopt;
    std::wstring text(512, L'\0');
    DWORD bytes = 0;
    ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &bytes, nullptr);
    text.resize(bytes / sizeof(wchar_t));
    return text;
}

void setRegistryText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// While this lives, this process's HKEY_CLASSES_ROOT is a volatile key of its
// own, so the shell finds only the protocol handlers registered here.
class HandlerClasses {
public:
    HandlerClasses() : path_(L"Software\\quillFeed-tests-classes-" + std::to_wstring(GetCurrentProcessId()))
    {
        if (!RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                             &key_, nullptr))
            RegOverridePredefKey(HKEY_CLASSES_ROOT, key_);
    }
    ~HandlerClasses()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (key_ != nullptr)
            RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    HandlerClasses(const HandlerClasses&) = delete;
    HandlerClasses& operator=(const HandlerClasses&) = delete;

    void add(const std::wstring& scheme, const std::wstring& program)
    {
        setRegistryText(key_, scheme, nullptr, L"URL:" + scheme);
        setRegistryText(key_, scheme, L"URL Protocol", L"");
        setRegistryText(key_, scheme + L"\\shell\\open\\command", nullptr, L"\"" + program + L"\" \"%1\"");
    }

private:
    std::wstring path_;
    HKEY key_ = nullptr;
};

// Copies of the recorder, each leaving "<its name>.opened" in this folder,
// holding the address it was given, when the shell starts it.
class OpenTargets {
public:
    OpenTargets()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"qf-ui-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        SetEnvironmentVariableW(L"QF_OPENED_DIR", folder_.c_str()); // inherited by what the shell starts
    }
    ~OpenTargets()
    {
        for (const std::wstring& file : files_)
            DeleteFileW(file.c_str());
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
            RemoveDirectoryW(folder->c_str()); // shared ones stay while another test uses them
        RemoveDirectoryW(folder_.c_str());
        SetEnvironmentVariableW(L"QF_OPENED_DIR", nullptr);
    }
    OpenTargets(const OpenTargets&) = delete;
    OpenTargets& operator=(const OpenTargets&) = delete;

    // A program on this machine; gives its path.
    std::wstring program(const std::wstring& name) { return place(folder_, name); }

    // A program on \\203.0.113.9\<share>\, which Wine serves from the prefix's
    // dosdevices\unc folder; gives its share path.
    std::wstring onShare(const std::wstring& name)
    {
        const char* prefix = getenv("WINEPREFIX");
        EXPECT_NE(prefix, nullptr) << "shares need Wine's prefix";
        if (prefix == nullptr)
            return L"";
        const std::wstring share = L"qf-ui-" + std::to_wstring(GetCurrentProcessId());
        std::wstring folder = windowsPath(prefix) + L"\\dosdevices";
        for (const std::wstring& part : {std::wstring(L"unc"), std::wstring(kShareServer), share}) {
            folder += L"\\" + part;
            CreateDirectoryW(folder.c_str(), nullptr);
            folders_.push_back(folder);
        }
        place(folder, name);
        return L"\\\\" + std::wstring(kShareServer) + L"\\" + share + L"\\" + name;
    }

    // A program that the shell starts for addresses of the scheme; its name is
    // the scheme followed by ".exe".
    void handler(const std::wstring& scheme) { classes_.add(scheme, program(scheme + L".exe")); }

    // What the program of that name was given, once it has run.
    std::optional<std::wstring> opened(const std::wstring& name) const { return readMarker(markerOf(name)); }

private:
    std::wstring markerOf(const std::wstring& name) const { return folder_ + L"\\" + name + L".opened"; }

    std::wstring place(const std::wstring& folder, const std::wstring& name)
    {
        const std::wstring path = folder + L"\\" + name;
        files_.push_back(path);
        files_.push_back(markerOf(name));
        DeleteFileW(markerOf(name).c_str());
        EXPECT_TRUE(CopyFileW(windowsPath(QF_OPEN_RECORDER).c_str(), path.c_str(), FALSE)) << "cannot place " << name;
        return path;
    }

    std::wstring folder_;
    std::vector<std::wstring> files_;
    std::vector<std::wstring> folders_;
    HandlerClasses classes_;
};

std::wstring fileUrl(std::wstring path)
{
    for (wchar_t& c : path)
        c = c == L'\\' ? L'/' : c;
    return L"file:///" + path;
}

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
    // What the program of that name was given; none when it did not run in time.
    std::optional<std::wstring> waitOpened(const std::wstring& name)
    {
        std::optional<std::wstring> text;
        pumpUntil([&] { return (text = targets.opened(name)).has_value(); }, kOpenWait);
        return text;
    }

    HWND tree = nullptr;
    OpenTargets targets;
};

TEST_F(TreeProc, DoubleClickOnALinkLineOpensItsWebAddress)
{
    targets.handler(L"http");
    targets.handler(L"https");
    Channel channel = channelTitled(L"channel");
    channel.description = L"about";
    channel.link = L"http://example.invalid/channel?id=1&q=\"a b\"";
    Item item = itemTitled(L"item");
    item.link = L"HTTPS://Example.invalid/Item"; // the scheme in any case
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
    EXPECT_EQ(waitOpened(L"http.exe"), std::wstring(L"http://example.invalid/channel?id=1&q=%22a%20b%22"));
    doubleClick(itemLink.item);
    EXPECT_EQ(waitOpened(L"https.exe"), item.link) << "the item's link line was not opened";
}

TEST(LinkForShell, EncodesWhatTheShellWouldReadAsMoreThanTheAddress)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"http://x/a b?q=\"<c>\"|^`\t\r\n\x7f", L"http://x/a%20b?q=%22%3Cc%3E%22%7C%5E%60%09%0D%0A%7F"},
        {L"http://x/a\\b\\\\", L"http://x/a\\b%5C%5C"}, // only a run at the end escapes the closing quote
        {L"http://x/%20%2522?a=1&b=%#f{}'\u017c", L"http://x/%20%2522?a=1&b=%#f{}'\u017c"},
    };
    for (const auto& [link, expected] : cases)
        EXPECT_EQ(linkForShell(link), expected) << testing::PrintToString(link);
}

TEST_F(TreeProc, LinksToAnythingButTheWebAreLeftAlone)
{
    struct Case {
        const char* form;
        std::wstring link;
        const wchar_t* started; // the program that the shell would start for it
    };
    for (const wchar_t* scheme : {L"javascript", L"ms-msdt", L"http"})
        targets.handler(scheme);
    const Case cases[] = {
        {"program", targets.program(L"calc.exe"), L"calc.exe"},
        {"program on a share", targets.onShare(L"run.exe"), L"run.exe"},
        {"file URL", fileUrl(targets.program(L"file-url.exe")), L"file-url.exe"},
        {"javascript", L"javascript:alert(1)", L"javascript.exe"},
        {"protocol handler", L"ms-msdt:/id PCWDiagnostic", L"ms-msdt.exe"},
    };
    // Each form as a channel's link line and as an item's, then one web link.
    std::vector<Channel> channels;
    for (const Case& c : cases) {
        Channel channel = channelTitled(L"channel");
        channel.link = c.link;
        Item item = itemTitled(L"item");
        item.link = c.link;
        channel.items = {item};
        channels.push_back(channel);
    }
    Channel proof = channelTitled(L"proof");
    proof.link = L"http://example.invalid/proof";
    channels.push_back(proof);
    rebuildOnWorker(channels);
    auto nodes = this->nodes();
    ASSERT_EQ(nodes.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const TreeNode& channelLink = nodes[i].children.at(0);
        const TreeNode& itemLink = nodes[i].children.at(1).children.at(0);
        ASSERT_EQ(channelLink.data, 1) << cases[i].form;
        ASSERT_EQ(itemLink.data, 1) << cases[i].form;
        doubleClick(channelLink.item);
        doubleClick(itemLink.item);
    }

    // The shell starts programs in the order asked; once the proof's handler
    // has run, any earlier opening would have left its marker too.
    doubleClick(nodes.back().children.at(0).item);
    ASSERT_EQ(waitOpened(L"http.exe"), proof.link);
    for (const Case& c : cases)
        EXPECT_FALSE(targets.opened(c.started)) << c.form << " was opened";
}

TEST_F(TreeProc, DoubleClickOnOtherLinesOnlyExpandsOrCollapses)
{
    // Lines with item data 0 whose text would start a program if it were opened.
    targets.handler(L"http");
    Channel channel = channelTitled(targets.program(L"channel-title.exe"));
    channel.description = targets.program(L"description.exe");
    Item item = itemTitled(targets.program(L"item-title.exe"));
    item.description = L"item details";
    item.link = L"http://example.invalid/proof";
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

    // As above: once the link's handler has run, any earlier opening would show.
    doubleClick(proof);
    ASSERT_EQ(waitOpened(L"http.exe"), item.link);
    for (const wchar_t* name : {L"channel-title.exe", L"description.exe", L"item-title.exe"})
        EXPECT_FALSE(targets.opened(name)) << testing::PrintToString(std::wstring(name)) << " was opened";
}

TEST_F(TreeProc, LinkLongerThan511CharactersIsCutThere)
{
    targets.handler(L"http");
    std::wstring address = L"http://example.invalid/";
    address.resize(511, L'a');
    Channel channel = channelTitled(L"channel");
    channel.link = address + L"/and-the-rest";
    rebuildOnWorker({channel});
    auto nodes = this->nodes();
    ASSERT_EQ(nodes.at(0).children.size(), 1u);
    doubleClick(nodes[0].children[0].item);
    EXPECT_EQ(waitOpened(L"http.exe"), address) << "the first 511 characters were not what was opened";
}

TEST_F(TreeProc, DoubleClickWithoutSelectionOpensNothing)
{
    rebuildOnWorker({});
    EXPECT_EQ(SendMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5)), 0);
    EXPECT_TRUE(IsWindow(tree));
}

// Rows take the theme colours the tree was given (or the system's when it has
// none); a selected row keeps the highlight the tree chose for it. The tree
// tells its parent, the plug-in's own window.
TEST_F(TreeProc, CustomDrawAnswersByStage)
{
    struct Case {
        const char* name;
        DWORD stage;
        UINT itemState;
        LRESULT treeText, treeBackground; // what the tree was given; -1: nothing
        COLORREF text, background;        // what the row is drawn with
        LRESULT answer;
    };
    constexpr COLORREF kBefore = 0x123456;
    const COLORREF systemText = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF systemBackground = GetSysColor(COLOR_WINDOW);
    const Case cases[] = {
        {"prepaint", CDDS_PREPAINT, 0, 0x332211, 0x665544, kBefore, kBefore, CDRF_NOTIFYITEMDRAW},
        {"row", CDDS_ITEMPREPAINT, 0, 0x332211, 0x665544, 0x332211, 0x665544, CDRF_NEWFONT},
        {"sub-item", CDDS_ITEMPREPAINT | CDDS_SUBITEM, 0, 0x332211, 0x665544, 0x332211, 0x665544, CDRF_NEWFONT},
        {"focused row", CDDS_ITEMPREPAINT, CDIS_FOCUS, 0x332211, 0x665544, 0x332211, 0x665544, CDRF_NEWFONT},
        {"selected row", CDDS_ITEMPREPAINT, CDIS_SELECTED, 0x332211, 0x665544, kBefore, kBefore, CDRF_NEWFONT},
        {"selected, focused", CDDS_ITEMPREPAINT, CDIS_SELECTED | CDIS_FOCUS, 0x332211, 0x665544, kBefore, kBefore,
         CDRF_NEWFONT},
        {"no theme colours", CDDS_ITEMPREPAINT, 0, -1, -1, systemText, systemBackground, CDRF_NEWFONT},
        // Left to the tree, which has nothing to add: the default drawing.
        {"postpaint", CDDS_POSTPAINT, 0, 0x332211, 0x665544, kBefore, kBefore, CDRF_DODEFAULT},
        {"preerase", CDDS_PREERASE, 0, 0x332211, 0x665544, kBefore, kBefore, CDRF_DODEFAULT},
        {"item postpaint", CDDS_ITEMPOSTPAINT, 0, 0x332211, 0x665544, kBefore, kBefore, CDRF_DODEFAULT},
        {"item preerase", CDDS_ITEMPREERASE, 0, 0x332211, 0x665544, kBefore, kBefore, CDRF_DODEFAULT},
        {"sub-item alone", CDDS_SUBITEM, 0, 0x332211, 0x665544, kBefore, kBefore, CDRF_DODEFAULT},
    };
    for (const Case& c : cases) {
        SendMessageW(tree, TVM_SETTEXTCOLOR, 0, c.treeText);
        SendMessageW(tree, TVM_SETBKCOLOR, 0, c.treeBackground);
        NMTVCUSTOMDRAW draw{};
        draw.nmcd.hdr.hwndFrom = tree;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = c.stage;
        draw.nmcd.uItemState = c.itemState;
        draw.clrText = kBefore;
        draw.clrTextBk = kBefore;
        LRESULT result = SendMessageW(GetParent(tree), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(result, c.answer) << c.name;
        EXPECT_EQ(draw.clrText, c.text) << c.name;
        EXPECT_EQ(draw.clrTextBk, c.background) << c.name;
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
    SendMessageW(GetParent(tree), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(draw.clrText, 7u);
    EXPECT_EQ(draw.clrTextBk, 8u);
}

} // namespace
