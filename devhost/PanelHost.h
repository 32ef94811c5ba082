#pragma once
// "WTW/PanelAdd" and "WTW/PanelDel", and the window the panels live in.
// Panel events go out on the thread that owns the parent window; the
// plug-in's tree view is read back from there too.
#include <windows.h>

#include <string>
#include <vector>

#include "devhost/ServiceDispatcher.h"
#include "host/HostProtocol.h"

struct TreeLine {
    int depth = 0;
    std::wstring text;
    int image = 0;
    LPARAM data = 0;
};

class PanelHost {
public:
    void install(ServiceDispatcher& dispatcher);

    // Creates and shows every registered panel inside parent, at rect.
    void attach(HWND parent, const RECT& rect);
    void move(const RECT& rect);
    // Hides and destroys the panels' windows; they stay registered.
    void detach();

    size_t panelCount() const { return panels_.size(); }
    std::wstring caption() const;
    // The tree view the plug-in made inside the panel, or null.
    HWND tree() const;
    std::vector<TreeLine> outline() const;

    intptr_t add(intptr_t record);
    intptr_t remove(intptr_t record);

private:
    struct Panel {
        std::wstring id;
        std::wstring caption;
        HostCallback callback = nullptr;
        void* data = nullptr;
        bool created = false;
    };
    void send(Panel& panel, int32_t code);

    HWND parent_ = nullptr;
    RECT rect_{};
    std::vector<Panel> panels_;
};
