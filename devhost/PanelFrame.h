#pragma once
// The window a panel lives in: a plain container, top-level and hidden for
// --once, a child of the main window otherwise. Destroyed with its owner.
#include <windows.h>

#include <memory>

struct WindowDestroyer {
    void operator()(HWND window) const
    {
        if (window != nullptr && IsWindow(window))
            DestroyWindow(window);
    }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Null parent: a hidden top-level window of the given size.
WindowHandle createPanelFrame(HWND parent, const RECT& rect);
