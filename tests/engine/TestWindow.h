#pragma once
// A hidden window owned by the creating thread that counts the WM_APP
// messages it handles, to tell whether that thread handled messages sent to it.
#include <windows.h>

#include <atomic>

class TestWindow {
public:
    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return window_; }
    int handled() const { return handled_.load(); }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::atomic<int> handled_{0};
};
