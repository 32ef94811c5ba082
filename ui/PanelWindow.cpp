#include "ui/PanelWindow.h"

#include <commctrl.h>

#include "services/CallbackGuard.h"
#include "ui/FeedPanel.h"
#include "ui/ShownTree.h"

namespace {

const wchar_t kClassName[] = L"quillFeedPanel";

FeedPanel* panelOf(HWND window)
{
    return reinterpret_cast<FeedPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The tree's notifications; false leaves one to the default procedure.
bool notified(ShownTree& shown, NMHDR& header, LRESULT& result)
{
    auto& change = reinterpret_cast<NMTREEVIEWW&>(header);
    switch (header.code) {
    case TVN_GETDISPINFOW:
        shown.answer(reinterpret_cast<NMTVDISPINFOW&>(header));
        return true;
    case TVN_ITEMEXPANDINGW:
        if (change.action & TVE_EXPAND)
            shown.expanding(change.itemNew.hItem);
        result = FALSE; // the node may open
        return true;
    case TVN_SELCHANGEDW:
        shown.selected(change.itemNew.hItem);
        return true;
    case TVN_DELETEITEMW:
        shown.deleted(change.itemOld.hItem);
        return true;
    case NM_CUSTOMDRAW:
        return FeedPanel::customDraw(header.hwndFrom, reinterpret_cast<NMTVCUSTOMDRAW&>(header), result);
    default:
        return false;
    }
}

// True with the result for what the panel handles.
bool handled(FeedPanel& panel, HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    ShownTree* shown = panel.shown();
    switch (message) {
    case WM_SIZE:
        if (HWND tree = GetWindow(window, GW_CHILD))
            MoveWindow(tree, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return true;
    case WM_NOTIFYFORMAT:
        result = NFR_UNICODE;
        return true;
    case WM_NOTIFY:
        return shown != nullptr && lParam != 0 && notified(*shown, *reinterpret_cast<NMHDR*>(lParam), result);
    case PanelWindow::kSyncList:
        if (shown != nullptr && lParam != 0)
            shown->syncList(*reinterpret_cast<PanelUpdate*>(lParam));
        return true;
    case PanelWindow::kSyncChannel:
        if (shown != nullptr && lParam != 0)
            shown->syncChannel(wParam, *reinterpret_cast<const PanelUpdate*>(lParam));
        return true;
    case PanelWindow::kEndUpdate:
        if (shown != nullptr)
            shown->endUpdate();
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    FeedPanel* panel = panelOf(window);
    if (panel == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    // On the host's thread, inside its message loop: nothing may escape.
    return guarded(panel->link(), L"feed panel", LRESULT{0}, [&] {
        LRESULT result = 0;
        return handled(*panel, window, message, wParam, lParam, result)
                   ? result
                   : DefWindowProcW(window, message, wParam, lParam);
    });
}

} // namespace

namespace PanelWindow {

HWND create(HINSTANCE module, HWND parent, const RECT& rect, FeedPanel* panel)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass); // fails harmlessly while a window of it is left
    return CreateWindowExW(0, kClassName, nullptr, WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, module, panel);
}

void unregister(HINSTANCE module)
{
    UnregisterClassW(kClassName, module);
}

} // namespace PanelWindow
