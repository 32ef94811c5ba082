#pragma once
// The host's panel: one tree view of every channel of the last refresh.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "core/HostApi.h"
#include "rss/Channel.h"

class FeedPanel {
public:
    static intptr_t onEvent(intptr_t panelEvent, intptr_t unused, void* callbackData);
    void create(const HostApi* hostTable, HWND parent, const RECT& rect);
    static LRESULT CALLBACK treeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                     DWORD_PTR refData);
    // Runs on a refresh worker; reaches the tree only through SendMessageW.
    void rebuild(const std::vector<Channel>& channels);

    HWND tree = nullptr;
    HIMAGELIST images = nullptr;
    const HostApi* host = nullptr;
};
