// The tree's subclass, which opens link lines, and the custom-draw answers.
#include "ui/FeedPanel.h"

#include <shellapi.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "services/CallbackGuard.h"
#include "ui/LinkForShell.h"
#include "ui/TreeLines.h"

namespace {

constexpr int kLinkBufferChars = 512;

// The tree view's own window procedure, which every tree view shares.
std::atomic<WNDPROC> treeViewProc{nullptr};

// The prefix is lower-case ASCII; the text's ASCII capitals match it too.
bool startsWithNoCase(const wchar_t* text, const char* prefix)
{
    for (; *prefix != '\0'; ++prefix, ++text) {
        const wchar_t c = *text >= L'A' && *text <= L'Z' ? *text + (L'a' - L'A') : *text;
        if (c != static_cast<wchar_t>(*prefix))
            return false;
    }
    return true;
}

// Only web addresses are opened: a feed's author writes the link text, and the
// shell would run a program, open a share or call any handler that it names.
bool isWebAddress(const wchar_t* text)
{
    return startsWithNoCase(text, "http://") || startsWithNoCase(text, "https://");
}

// Opens the selected node's text with the shell when the node is a link line
// to a web address.
void openSelectedLink(HWND tree)
{
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr)
        return;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) || data.lParam != kLinkData)
        return;
    wchar_t buffer[kLinkBufferChars] = {};
    TVITEMW link{};
    link.mask = TVIF_TEXT;
    link.hItem = item;
    link.pszText = buffer;
    link.cchTextMax = kLinkBufferChars; // 511 characters and the NUL
    if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&link)) || link.pszText == nullptr ||
        link.pszText == LPSTR_TEXTCALLBACKW)
        return;
    // The text may come back at another address than the buffer given.
    const std::wstring text(link.pszText, wcsnlen(link.pszText, kLinkBufferChars - 1));
    if (!isWebAddress(text.c_str()))
        return;
    ShellExecuteW(tree, L"open", linkForShell(text).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The colour the tree was given, or the system's own when it has none (-1,
// which comes back as a 32-bit value).
COLORREF treeColor(HWND tree, UINT query, int systemColor)
{
    const auto color = static_cast<COLORREF>(SendMessageW(tree, query, 0, 0));
    return color == CLR_NONE ? GetSysColor(systemColor) : color;
}

} // namespace

// Rows are drawn in the theme colours the panel gave the tree; a selected row
// keeps the system's highlight so the selection stays visible.
bool FeedPanel::customDraw(HWND tree, NMTVCUSTOMDRAW& draw, LRESULT& answer)
{
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        answer = CDRF_NOTIFYITEMDRAW;
        return true;
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if ((draw.nmcd.uItemState & CDIS_SELECTED) == 0) {
            draw.clrText = treeColor(tree, TVM_GETTEXTCOLOR, COLOR_WINDOWTEXT);
            draw.clrTextBk = treeColor(tree, TVM_GETBKCOLOR, COLOR_WINDOW);
        }
        answer = CDRF_NEWFONT;
        return true;
    default:
        return false;
    }
}

// The procedure is replaced rather than subclassed through comctl32
// (SetWindowSubclass): under Wine, comctl32 looks its subclass chain up in a
// window property at every message, and Wine's server holds the properties,
// so each of the thousands of messages an update sends the tree would wait
// for a server call (measured: an update of 200 channels 25 times slower).
void FeedPanel::takeOverTree(HWND tree)
{
    SetWindowLongPtrW(tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    treeViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FeedPanel::treeProc)));
}

LRESULT CALLBACK FeedPanel::treeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDBLCLK) { // opened, then passed on: the node still expands or collapses
        const auto* panel = reinterpret_cast<const FeedPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        guarded(panel != nullptr ? panel->link() : nullptr, L"feed panel", 0, [window] {
            openSelectedLink(window);
            return 0;
        });
    }
    return CallWindowProcW(treeViewProc.load(), window, message, wParam, lParam);
}
