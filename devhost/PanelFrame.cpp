#include "devhost/PanelFrame.h"

#include <commctrl.h>

namespace {

const wchar_t* const kFrameClass = L"quillFeedDevhostPanelFrame";

// The plug-in's detail lines ask their parent for an image (I_IMAGECALLBACK);
// the host has none to give, so they are drawn without one.
LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == TVN_GETDISPINFOW) {
        TVITEMW& item = reinterpret_cast<NMTVDISPINFOW*>(lParam)->item;
        if (item.mask & TVIF_IMAGE)
            item.iImage = I_IMAGENONE;
        if (item.mask & TVIF_SELECTEDIMAGE)
            item.iSelectedImage = I_IMAGENONE;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerFrameClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = frameProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kFrameClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

WindowHandle createPanelFrame(HWND parent, const RECT& rect)
{
    if (!registerFrameClass())
        return WindowHandle();
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN : WS_OVERLAPPEDWINDOW;
    return WindowHandle(CreateWindowExW(0, kFrameClass, L"RSS", style, rect.left, rect.top, rect.right - rect.left,
                                        rect.bottom - rect.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
}
