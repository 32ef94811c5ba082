#include "devhost/PanelFrame.h"

namespace {

const wchar_t* const kFrameClass = L"quillFeedDevhostPanelFrame";

bool registerFrameClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW; // a plain container: the plug-in handles its own tree
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
