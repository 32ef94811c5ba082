// The tree's subclass: opening link lines and the custom-draw answers.
#include "ui/FeedPanel.h"

#include <shellapi.h>

namespace {

constexpr COLORREF kDrawText = 0x0000FF;       // red
constexpr COLORREF kDrawBackground = 0x00FF00; // green
constexpr int kLinkBufferChars = 512;

// Opens the selected node's text with the shell when the node is a link line.
void openSelectedLink(HWND tree)
{
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr)
        return;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) || data.lParam != FeedPanel::kLinkData)
        return;
    wchar_t text[kLinkBufferChars] = {};
    TVITEMW link{};
    link.mask = TVIF_TEXT;
    link.hItem = item;
    link.pszText = text;
    link.cchTextMax = kLinkBufferChars; // 511 characters and the NUL
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&link)))
        return;
    text[kLinkBufferChars - 1] = L'\0';
    ShellExecuteW(tree, L"open", text, nullptr, nullptr, SW_SHOWNORMAL);
}

// True with the answer when the stage is one we colour; false leaves it to the tree.
bool customDraw(NMTVCUSTOMDRAW& draw, LRESULT& answer)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        answer = CDRF_NOTIFYITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        draw.clrText = kDrawText;
        draw.clrTextBk = kDrawBackground;
        answer = CDRF_NEWFONT;
        return true;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK FeedPanel::treeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == insertChannelMessage() && lParam != 0) {
        insertChannel(window, *reinterpret_cast<const Channel*>(lParam));
        return 0;
    }
    if (message == WM_LBUTTONDBLCLK) {
        openSelectedLink(window); // then passed on, so the node still expands or collapses
    } else if (message == WM_NOTIFY && lParam != 0) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT answer = 0;
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW) &&
            customDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(lParam), answer))
            return answer;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}
