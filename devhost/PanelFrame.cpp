#include "devhost/PanelFrame.h"

#include <commctrl.h>

namespace {

const wchar_t* const kFrameClass = L"quillFeedDevhostPanelFrame";

// The plug-in's detail lines ask their parent for an image (I_IMAGECALLBACK);
// the host has none to give, so they are drawn without one.
void answerNoImage(NMTVDISPINFOW& info)
{
    if (info.item.mask & TVIF_IMAGE)
        info.item.iImage = I_IMAGENONE;
    if (info.item.mask & TVIF_SELECTEDIMAGE)
        info.item.iSelectedImage = I_IMAGENONE;
}

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_NOTIFY || lParam == 0)
        return DefWindowProcW(window, message, wParam, lParam);
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == TVN_GETDISPINFOW) {
        answerNoImage(*reinterpret_cast<NMTVDISPINFOW*>(lParam));
        return 0;
    }
    // Like the messenger, a child's notifications go back to the child, so the
    // plug-in's tree answers its own custom drawing.
    if (header->hwndFrom != nullptr && GetParent(header->hwndFrom) == window)
        return SendMessageW(header->hwndFrom, WM_NOTIFY, wParam, lParam);
    return 0;
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
