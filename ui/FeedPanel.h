#pragma once
// The host's panel: one tree view of every channel of the last refresh.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <vector>

#include "base/UniqueHandle.h"
#include "host/HostApi.h"
#include "rss/Channel.h"

class HostLink;
struct PanelEvent;

class FeedPanel {
public:
    // The host's callback; its data is the UiParts the panel belongs to.
    static intptr_t onEvent(intptr_t panelEvent, intptr_t unused, void* callbackData);
    // The link and module of the current load; set at load.
    void bind(std::shared_ptr<const HostLink> link, HINSTANCE module);
    const HostLink* link() const { return link_.get(); }
    void create(const HostApi* hostTable, HWND parent, const RECT& rect);
    static LRESULT CALLBACK treeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                     DWORD_PTR refData);
    // Runs on a refresh worker; reaches the tree only through SendMessageW.
    void rebuild(const ChannelList& channels);

    // Sent by the rebuild to the tree with a Channel*: the tree's own thread inserts
    // that channel's nodes, one cross-thread message per channel instead of per node.
    static UINT insertChannelMessage();
    static void insertChannel(HWND window, const Channel& channel) noexcept;

    // The host's colour (red in bits 16-23, blue in bits 0-7) as a Windows colour.
    static COLORREF windowsColor(intptr_t hostColor);

    // Item data of a link line; every other node carries 0.
    static constexpr LPARAM kLinkData = 1;

    // Changed on the host's thread, read by the refresh worker's rebuild;
    // the window itself is owned by treeWindow_.
    std::atomic<HWND> tree{nullptr};
    UniqueImageList images;
    const HostApi* host = nullptr;

private:
    void handle(const PanelEvent& event);
    void destroy();

    UniqueWindow treeWindow_;
    std::shared_ptr<const HostLink> link_;
    HINSTANCE module_ = nullptr;
};
