#include "TestWindow.h"

namespace {
const wchar_t* const kClassName = L"QuillFeedEngineTestWindow";
}

TestWindow::TestWindow()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TestWindow::proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass); // fails harmlessly when already registered
    window_ =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ != nullptr)
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestWindow::~TestWindow()
{
    if (window_ != nullptr)
        DestroyWindow(window_);
}

LRESULT CALLBACK TestWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        if (auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            ++self->handled_;
        return 42;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
