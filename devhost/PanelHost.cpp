#include "devhost/PanelHost.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>

#include "host/HostProtocol.h"

namespace {

void walk(HWND tree, HTREEITEM item, int depth, std::vector<TreeLine>& lines)
{
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[1024] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 1023;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        lines.push_back({depth, text, data.iImage, data.lParam});
        // The plug-in inserts a node's children when it is first expanded: read
        // as a reader opening every node sees it, then closed as it was.
        const bool open = (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        if (!open)
            TreeView_Expand(tree, item, TVE_EXPAND);
        walk(tree, TreeView_GetChild(tree, item), depth + 1, lines);
        if (!open)
            TreeView_Expand(tree, item, TVE_COLLAPSE);
    }
}

BOOL CALLBACK findTree(HWND window, LPARAM found)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (_wcsicmp(name, WC_TREEVIEWW) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

} // namespace

void PanelHost::install(ServiceDispatcher& dispatcher)
{
    dispatcher.add(Service::kPanelAdd, [this](intptr_t w, intptr_t) { return add(w); });
    dispatcher.add(Service::kPanelDel, [this](intptr_t w, intptr_t) { return remove(w); });
}

intptr_t PanelHost::add(intptr_t address)
{
    auto record = recordAt<const PanelRecord>(address);
    if (record == nullptr || record->panelId == nullptr || record->callback == nullptr)
        return 0;
    Panel panel;
    panel.id = record->panelId;
    panel.caption = record->caption ? record->caption : L"";
    panel.callback = record->callback;
    panel.data = record->callbackData;
    panels_.push_back(panel);
    if (parent_ != nullptr) { // added while the window is up: show it at once
        send(panels_.back(), kPanelCreate);
        send(panels_.back(), kPanelShow);
    }
    return 1;
}

intptr_t PanelHost::remove(intptr_t address)
{
    auto record = recordAt<const PanelRecord>(address);
    if (record == nullptr || record->panelId == nullptr)
        return 0;
    for (auto it = panels_.begin(); it != panels_.end(); ++it) {
        if (it->id != record->panelId)
            continue;
        if (it->created)
            send(*it, kPanelDestroy); // its windows end with its destroy event
        panels_.erase(it);
        return 1;
    }
    return 0;
}

void PanelHost::send(Panel& panel, int32_t code)
{
    PanelEvent event{};
    const uint32_t size = sizeof event;
    memcpy(event.hostData, &size, sizeof size);
    event.code = code;
    event.left = rect_.left;
    event.top = rect_.top;
    event.right = rect_.right;
    event.bottom = rect_.bottom;
    event.parent = parent_;
    panel.callback(reinterpret_cast<intptr_t>(&event), 0, panel.data);
    if (code == kPanelCreate)
        panel.created = true;
    if (code == kPanelDestroy)
        panel.created = false;
}

void PanelHost::attach(HWND parent, const RECT& rect)
{
    parent_ = parent;
    rect_ = rect;
    for (Panel& panel : panels_) {
        if (!panel.created)
            send(panel, kPanelCreate);
        send(panel, kPanelShow);
    }
}

void PanelHost::move(const RECT& rect)
{
    rect_ = rect;
    for (Panel& panel : panels_)
        if (panel.created)
            send(panel, kPanelMove);
}

void PanelHost::detach()
{
    for (Panel& panel : panels_) {
        if (!panel.created)
            continue;
        send(panel, kPanelHide);
        send(panel, kPanelDestroy);
    }
    parent_ = nullptr;
}

std::wstring PanelHost::caption() const
{
    return panels_.empty() ? std::wstring() : panels_.front().caption;
}

HWND PanelHost::tree() const
{
    // The plug-in keeps its tree inside a window of its own in the panel.
    HWND found = nullptr;
    if (parent_ != nullptr)
        EnumChildWindows(parent_, findTree, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<TreeLine> PanelHost::outline() const
{
    std::vector<TreeLine> lines;
    if (HWND view = tree())
        walk(view, TreeView_GetRoot(view), 0, lines);
    return lines;
}
