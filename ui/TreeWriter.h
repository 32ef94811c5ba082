#pragma once
// The tree view's messages the panel uses, on the tree's own thread. Every
// node takes its text from the panel when the tree needs it (text callback).
#include <windows.h>

#include <commctrl.h>

class TreeWriter {
public:
    explicit TreeWriter(HWND tree) : tree_(tree) {}

    struct NodeLook {
        int image;
        LPARAM data;
        bool hasChildren; // a button before the children are inserted
        bool bold;
    };
    // `after`: a sibling, TVI_FIRST or TVI_LAST.
    HTREEITEM insert(HTREEITEM parent, HTREEITEM after, const NodeLook& look) const;
    void remove(HTREEITEM node) const;
    // The tree asks for the node's text again.
    void textChanged(HTREEITEM node) const;
    void setBold(HTREEITEM node, bool bold) const;
    void setHasChildren(HTREEITEM node, bool hasChildren) const;

    HTREEITEM selected() const { return get(TVGN_CARET); }
    void select(HTREEITEM node) const;
    HTREEITEM firstVisible() const { return get(TVGN_FIRSTVISIBLE); }
    void scrollTo(HTREEITEM node) const;
    bool isExpanded(HTREEITEM node) const;
    void expand(HTREEITEM node) const;
    // Off: changes are not drawn until it is on again, then all at once.
    void redraw(bool on) const;

private:
    HTREEITEM get(UINT which) const;
    void setState(HTREEITEM node, UINT state, UINT mask) const;

    HWND tree_;
};
