// The panel's events: creating, showing, hiding, moving and destroying the tree.
#include <array>

#include "PanelFixture.h"
#include "res/resource_ids.h"

namespace {

constexpr DWORD kTreeStyle = 0x40001005; // child, buttons, lines at root, full-row select

LONG_PTR styleOf(HWND window)
{
    return GetWindowLongPtrW(window, GWL_STYLE);
}

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Where the tree's window is in the host's; empty unless the tree fills it.
RECT panelRect(HWND tree)
{
    const RECT place = rectInParent(GetParent(tree));
    const RECT inside = rectInParent(tree);
    const RECT filled{0, 0, place.right - place.left, place.bottom - place.top};
    return sameRect(inside, filled) ? place : RECT{};
}

// An icon drawn onto white, as 16x16 BGRA pixels.
std::vector<uint32_t> pixelsOf(HICON icon)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<uint32_t> pixels(256, 0);
    if (bits != nullptr) {
        std::fill_n(static_cast<uint32_t*>(bits), 256, 0x00FFFFFFu);
        DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        GdiFlush();
        std::copy_n(static_cast<uint32_t*>(bits), 256, pixels.begin());
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

long distance(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    long total = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            total += std::labs(static_cast<long>((a[i] >> shift) & 0xFF) - static_cast<long>((b[i] >> shift) & 0xFF));
    return total;
}

using PanelEvents = PanelFixture;

TEST_F(PanelEvents, CreateAsksForTheTreeWithItsStylePlaceAndParent)
{
    CreationRecorder recorder;
    HWND tree = createPanel(RECT{10, 20, 310, 220});
    ASSERT_NE(tree, nullptr);
    auto trees = recorder.ofClass(L"SysTreeView32");
    ASSERT_EQ(trees.size(), 1u);
    const CreatedWindow& made = trees[0];
    EXPECT_EQ(made.window, tree);
    EXPECT_EQ(made.style, kTreeStyle);
    EXPECT_EQ(made.exStyle, 0u);
    EXPECT_TRUE(made.titleIsNull || made.title.empty());
    // It fills the plug-in's own window, which sits at the event's place in the host's.
    EXPECT_EQ(made.x, 0);
    EXPECT_EQ(made.y, 0);
    EXPECT_EQ(made.width, 300);
    EXPECT_EQ(made.height, 200);
    EXPECT_EQ(made.parent, GetParent(tree));
    EXPECT_EQ(made.menu, nullptr);
    EXPECT_EQ(made.instance, nullptr);
    EXPECT_EQ(made.createParams, nullptr);

    EXPECT_EQ(GetParent(GetParent(tree)), parent.handle());
    EXPECT_TRUE(sameRect(panelRect(tree), RECT{10, 20, 310, 220}));
    EXPECT_EQ(styleOf(tree) & WS_VISIBLE, 0) << "hidden until the show event";
    EXPECT_EQ(panel.host, host.api());
    EXPECT_EQ(GetWindowLongPtrW(tree, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&FeedPanel::treeProc));
}

TEST_F(PanelEvents, ImageListHoldsChannelItemAndLinkIconsInOrder)
{
    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, panel.images.get());
    ASSERT_EQ(ImageList_GetImageCount(list), 3);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    IMAGEINFO info{};
    ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info));
    EXPECT_EQ(info.hbmMask, nullptr) << "no mask";
    BITMAP bitmap{};
    ASSERT_NE(GetObjectW(info.hbmImage, sizeof(bitmap), &bitmap), 0);
    EXPECT_EQ(bitmap.bmBitsPixel, 32);

    // Each image is closest to its own icon resource.
    const std::array<int, 3> resources = {QF_RES_CHANNEL_ICON, QF_RES_ITEM_ICON, QF_RES_LINK_ICON};
    std::vector<std::vector<uint32_t>> expected;
    for (int resource : resources) {
        auto icon = static_cast<HICON>(
            LoadImageW(plugin.module, MAKEINTRESOURCEW(resource), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << resource;
        expected.push_back(pixelsOf(icon));
        DestroyIcon(icon);
    }
    for (int index = 0; index < 3; ++index) {
        HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
        ASSERT_NE(icon, nullptr) << index;
        auto found = pixelsOf(icon);
        DestroyIcon(icon);
        for (int other = 0; other < 3; ++other) {
            if (other == index)
                continue;
            EXPECT_LT(distance(found, expected[index]), distance(found, expected[other]))
                << "image " << index << " against resource " << resources[other];
        }
    }
}

TEST_F(PanelEvents, ThemeColoursComeFromTheHostInWindowsOrder)
{
    host.setThemeColor(5, 0x112233);
    host.setThemeColor(1, static_cast<intptr_t>(0xAB445566));
    host.clearCalls();
    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    auto asked = host.callsTo(L"WTW/GetThemeColor");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].wParam, 5);
    EXPECT_EQ(asked[0].lParam, 0);
    EXPECT_EQ(asked[1].wParam, 1);
    EXPECT_EQ(asked[1].lParam, 0);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETTEXTCOLOR, 0, 0)), 0x332211u);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tree, TVM_GETBKCOLOR, 0, 0)), 0x665544u);
}

TEST(PanelColours, HostValueBecomesWindowsColour)
{
    struct Case {
        intptr_t host;
        COLORREF windows;
    };
    const Case cases[] = {
        {0x112233, 0x332211},
        {0, 0},
        {0xFF0000, 0x0000FF},
        {0x0000FF, 0xFF0000},
        {0x00FF00, 0x00FF00},
        {0xFFFFFF, 0xFFFFFF},
        {static_cast<intptr_t>(0xAB445566), 0x665544},
        {static_cast<intptr_t>(0x7F000000), 0},
        {-1, 0xFFFFFF},
        {static_cast<intptr_t>(0x1234567890ABCDEFLL), 0xEFCDAB},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FeedPanel::windowsColor(c.host), c.windows) << std::hex << c.host;
}

TEST_F(PanelEvents, ShowHideAndMoveTheSameTree)
{
    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    sendPanelEvent(1);
    EXPECT_NE(styleOf(tree) & WS_VISIBLE, 0);
    sendPanelEvent(2);
    EXPECT_EQ(styleOf(tree) & WS_VISIBLE, 0);
    sendPanelEvent(3, RECT{-5, 7, 95, 57});
    EXPECT_TRUE(sameRect(panelRect(tree), RECT{-5, 7, 95, 57})) << "moved while hidden";
    sendPanelEvent(1);
    sendPanelEvent(3, RECT{40, 50, 440, 350});
    EXPECT_TRUE(sameRect(panelRect(tree), RECT{40, 50, 440, 350}));
    EXPECT_NE(styleOf(tree) & WS_VISIBLE, 0);
    EXPECT_EQ(panel.tree.load(), tree);
}

TEST_F(PanelEvents, MoveRepaints)
{
    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    parent.activate();
    sendPanelEvent(1);
    UpdateWindow(parent.handle());
    UpdateWindow(tree);
    ValidateRect(parent.handle(), nullptr);
    ValidateRect(tree, nullptr);
    sendPanelEvent(3, RECT{20, 30, 220, 130});
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(parent.handle(), &dirty, FALSE)) << "the place the tree left is not repainted";
}

TEST_F(PanelEvents, OtherCodesChangeNothing)
{
    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    rebuildOnWorker({channelTitled(L"kept")});
    LONG_PTR style = styleOf(tree);
    RECT place = rectInParent(tree);
    for (int32_t code : {0, 4, 5, 6, 9, 100, -1}) {
        sendPanelEvent(code, RECT{1, 2, 3, 4}, parent.handle());
        EXPECT_EQ(panel.tree.load(), tree) << code;
        EXPECT_EQ(styleOf(tree), style) << code;
        EXPECT_TRUE(sameRect(rectInParent(tree), place)) << code;
        EXPECT_EQ(texts(nodes()), std::vector<std::wstring>{L"kept"}) << code;
    }
}

TEST_F(PanelEvents, DestroyRemovesTreeAndImageList)
{
    HWND tree = createPanel();
    ASSERT_NE(tree, nullptr);
    HWND frame = GetParent(tree);
    HIMAGELIST list = panel.images.get();
    ASSERT_NE(list, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height));
    sendPanelEvent(8);
    EXPECT_EQ(panel.tree.load(), nullptr);
    EXPECT_EQ(panel.images.get(), nullptr);
    EXPECT_FALSE(IsWindow(tree));
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(ImageList_GetIconSize(list, &width, &height)) << "image list still alive";
    // Without a tree the other events and a second destroy do nothing.
    for (int32_t code : {1, 2, 3, 8})
        sendPanelEvent(code, RECT{0, 0, 50, 50});
    EXPECT_EQ(panel.tree.load(), nullptr);
}

TEST_F(PanelEvents, SecondCreateReplacesTheFirstTree)
{
    HWND first = createPanel();
    ASSERT_NE(first, nullptr);
    HWND second = createPanel(RECT{0, 0, 100, 100});
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first)) << "the first tree is left behind";
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(ImageList_GetImageCount(panel.images.get()), 3);
}

} // namespace
