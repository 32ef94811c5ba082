#pragma once
// "WTW/AddOptionsPage" and "WTW/RemoveOptionsPage", and one page shown
// inside a window: the events that show, move, apply, confirm and cancel it.
#include <windows.h>

#include <string>
#include <vector>

#include "devhost/ServiceDispatcher.h"
#include "host/HostProtocol.h"

struct OptionsPageInfo {
    HMODULE module = nullptr;
    std::wstring id;
    std::wstring group;
    std::wstring caption;
    HostCallback callback = nullptr;
    void* data = nullptr;
};

class OptionsPages {
public:
    void install(ServiceDispatcher& dispatcher);
    std::vector<OptionsPageInfo> pages() const { return pages_; }

    intptr_t add(intptr_t module, intptr_t record);
    intptr_t remove(intptr_t module);

private:
    std::vector<OptionsPageInfo> pages_; // changed at load and unload, on the host thread
};

// A page placed in a parent window; the plug-in owns the controls it makes.
class OptionsPageSession {
public:
    OptionsPageSession(OptionsPageInfo page, HWND parent, const RECT& area);

    // Sends one event; what the plug-in wrote into the record comes back.
    void send(int32_t code);
    const std::wstring& caption() const { return caption_; }
    const std::wstring& hint() const { return hint_; }
    // The page's edit box, found among the parent's children.
    HWND editor() const;

private:
    OptionsPageInfo page_;
    HWND parent_;
    RECT area_;
    std::wstring caption_;
    std::wstring hint_;
};
