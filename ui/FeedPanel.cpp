#include "ui/FeedPanel.h"

#include "host/HostProtocol.h"
#include "res/resource_ids.h"
#include "services/CallbackGuard.h"
#include "services/HostLink.h"
#include "ui/PanelWindow.h"
#include "ui/ShownTree.h"
#include "ui/UiParts.h"

namespace {

constexpr DWORD kTreeStyle = WS_CHILD | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_FULLROWSELECT;
static_assert(kTreeStyle == 0x40001005);

RECT rectOf(const PanelEvent& event)
{
    return RECT{event.left, event.top, event.right, event.bottom};
}

// Channel, item and link pictures, at the image indices the tree's lines use.
HIMAGELIST createImageList(HINSTANCE module)
{
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32, 3, 0);
    if (list == nullptr)
        return nullptr;
    for (int resource : {QF_RES_CHANNEL_ICON, QF_RES_ITEM_ICON, QF_RES_LINK_ICON}) {
        HICON icon = LoadIconW(module, MAKEINTRESOURCEW(resource));
        if (icon != nullptr) // shared icon from our own resources: not ours to destroy
            ImageList_ReplaceIcon(list, -1, icon);
    }
    return list;
}

} // namespace

FeedPanel::FeedPanel() = default;

FeedPanel::~FeedPanel()
{
    destroy();
}

intptr_t FeedPanel::onEvent(intptr_t panelEvent, intptr_t, void* callbackData)
{
    if (panelEvent == 0 || callbackData == nullptr)
        return 0;
    FeedPanel& panel = static_cast<UiParts*>(callbackData)->panel;
    return guarded(panel.link(), L"feed panel", intptr_t{0}, [panelEvent, &panel] {
        panel.handle(*reinterpret_cast<const PanelEvent*>(panelEvent));
        return intptr_t{0};
    });
}

void FeedPanel::bind(std::shared_ptr<const HostLink> link, HINSTANCE module)
{
    link_ = std::move(link);
    module_ = module;
}

void FeedPanel::handle(const PanelEvent& event)
{
    HWND window = frame.load();
    switch (event.code) {
    case kPanelShow:
    case kPanelHide:
        if (window != nullptr) {
            const int show = event.code == kPanelShow ? SW_SHOW : SW_HIDE;
            ShowWindow(window, show);
            ShowWindow(tree.load(), show);
        }
        break;
    case kPanelMove: // the tree follows its window's size
        if (window != nullptr)
            MoveWindow(window, event.left, event.top, event.right - event.left, event.bottom - event.top, TRUE);
        break;
    case kPanelCreate:
        create(link_ ? link_->host() : nullptr, static_cast<HWND>(event.parent), rectOf(event));
        break;
    case kPanelDestroy:
        destroy();
        break;
    default:
        break;
    }
}

void FeedPanel::create(const HostApi* hostTable, HWND parent, const RECT& rect)
{
    destroy(); // a second create must not leave the first tree behind
    host = hostTable;
    frameWindow_.reset(PanelWindow::create(module_, parent, rect, this));
    if (!frameWindow_)
        return;
    RECT inside{};
    GetClientRect(frameWindow_.get(), &inside);
    HWND window = CreateWindowExW(0, WC_TREEVIEWW, nullptr, kTreeStyle, 0, 0, inside.right, inside.bottom,
                                  frameWindow_.get(), nullptr, nullptr, nullptr);
    if (window == nullptr) {
        destroy();
        return;
    }
    images.reset(createImageList(module_));
    SendMessageW(window, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.get()));
    COLORREF text = windowsColor(callHost(host, Service::kGetThemeColor, kThemeIndexText, 0));
    COLORREF background = windowsColor(callHost(host, Service::kGetThemeColor, kThemeIndexBackground, 0));
    SendMessageW(window, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    SendMessageW(window, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    takeOverTree(window);
    shown_ = std::make_unique<ShownTree>(window);
    tree.store(window);
    frame.store(frameWindow_.get()); // published last: an update finds a finished panel or none
}

void FeedPanel::destroy()
{
    frame.store(nullptr); // unpublished before the windows go
    tree.store(nullptr);
    frameWindow_.reset(); // takes the tree with it; its last notifications still find shown_
    shown_.reset();
    images.reset();
    PanelWindow::unregister(module_);
}

COLORREF FeedPanel::windowsColor(intptr_t hostColor)
{
    uint64_t value = static_cast<uint64_t>(hostColor);
    return static_cast<COLORREF>(((value & 0xFF) << 16) | ((value >> 16) & 0xFF) | (value & 0xFF00));
}
