#pragma once
// The interactive devhost: the panel on the left, the notifications and
// news entries received on the right, a menu to refresh, open the options
// page and quit. The plug-in's timer runs as it registered it.
#include <windows.h>

#include <string>

#include "devhost/DevHost.h"
#include "devhost/PanelFrame.h"

class MainWindow {
public:
    explicit MainWindow(DevHost& host);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    bool create(std::wstring& error);
    // The panel frame the plug-in's panel goes into; set before load.
    HWND panelFrame() const { return frame_.get(); }
    RECT panelRect() const;
    void show();
    int runMessageLoop();
    // Called on any thread when the host has something new to list.
    void eventArrived();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int id);
    void layOut();
    void showNewEvents();
    void close();

    DevHost& host_;
    HWND window_ = nullptr; // destroyed by close() or by the user; owns the children below
    WindowHandle frame_;
    HWND list_ = nullptr;
    HWND listTitle_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HICON icon_ = nullptr;
    size_t shownEvents_ = 0;
};
