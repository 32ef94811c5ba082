#pragma once
// The host's panel: one tree view of every channel of the last refresh,
// inside a window of the plug-in's own that takes the tree's notifications.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "base/UniqueHandle.h"
#include "host/HostApi.h"
#include "ui/PanelContent.h"

class HostLink;
class ShownTree;
struct PanelEvent;

class FeedPanel {
public:
    FeedPanel();
    ~FeedPanel();
    FeedPanel(const FeedPanel&) = delete;
    FeedPanel& operator=(const FeedPanel&) = delete;

    // The host's callback; its data is the UiParts the panel belongs to.
    static intptr_t onEvent(intptr_t panelEvent, intptr_t unused, void* callbackData);
    // The link and module of the current load; set at load.
    void bind(std::shared_ptr<const HostLink> link, HINSTANCE module);
    const HostLink* link() const { return link_.get(); }
    void create(const HostApi* hostTable, HWND parent, const RECT& rect);
    // The tree's window procedure: the tree view's own, but for double-clicks.
    static LRESULT CALLBACK treeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Runs on a refresh worker at the end of every refresh; reaches the tree
    // only through SendMessageW, a short step at a time.
    void update(const PanelContent& content);

    // The host's colour (red in bits 16-23, blue in bits 0-7) as a Windows colour.
    static COLORREF windowsColor(intptr_t hostColor);
    // The custom-draw answers for the tree: true with `answer` for the stages
    // the panel colours, false for the tree's own drawing.
    static bool customDraw(HWND tree, NMTVCUSTOMDRAW& draw, LRESULT& answer);

    // The tree's account, on the host's thread; null without a tree.
    ShownTree* shown() const { return shown_.get(); }

    // Changed on the host's thread, read by the refresh worker's update; the
    // windows themselves are owned by frameWindow_ (the tree is its child).
    std::atomic<HWND> tree{nullptr};
    std::atomic<HWND> frame{nullptr};
    UniqueImageList images;
    const HostApi* host = nullptr;

private:
    void takeOverTree(HWND tree);
    void handle(const PanelEvent& event);
    void destroy();

    UniqueWindow frameWindow_;
    std::unique_ptr<ShownTree> shown_;
    std::shared_ptr<const HostLink> link_;
    HINSTANCE module_ = nullptr;
    // Updates one at a time, each against the content the last one showed.
    std::mutex updating_;
    std::vector<ShownChannel> lastShown_;
};
