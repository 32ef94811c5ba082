// The devhost's panel window is a plain container that handles no
// notification: the tree's go to the plug-in's own window inside it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "E2eSupport.h"
#include "HostedPlugin.h"
#include "devhost/LookService.h"
#include "ui/FeedPanel.h"

namespace {

TEST(PanelFrame, TheTreesCustomDrawReachesThePluginInsideAPlainPanel)
{
    ScratchFolder scratch;
    HostedPlugin plugin(scratch.path(L"quillFeed.cfg"));
    ASSERT_TRUE(plugin.load());
    HWND tree = plugin.host.panels().tree();
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(GetParent(GetParent(tree)), plugin.frame.get());

    NMTVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = tree;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    auto notifyFrame = [&](DWORD stage) {
        draw.nmcd.dwDrawStage = stage;
        return SendMessageW(GetParent(tree), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
    };
    EXPECT_EQ(notifyFrame(CDDS_PREPAINT), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(notifyFrame(CDDS_ITEMPREPAINT), CDRF_NEWFONT);
    // The row takes the devhost's theme colours, as the panel gave them to the tree.
    EXPECT_EQ(draw.clrText, FeedPanel::windowsColor(kThemeTextColor));
    EXPECT_EQ(draw.clrTextBk, FeedPanel::windowsColor(kThemeBackgroundColor));
}

} // namespace
