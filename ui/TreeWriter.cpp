#include "ui/TreeWriter.h"

namespace {

LPARAM asParam(HTREEITEM node)
{
    return reinterpret_cast<LPARAM>(node);
}

} // namespace

HTREEITEM TreeWriter::insert(HTREEITEM parent, HTREEITEM after, const NodeLook& look) const
{
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    insert.item.iImage = look.image;
    insert.item.iSelectedImage = look.image;
    insert.item.lParam = look.data;
    insert.item.cChildren = look.hasChildren ? 1 : 0;
    insert.item.state = look.bold ? TVIS_BOLD : 0;
    insert.item.stateMask = TVIS_BOLD;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeWriter::remove(HTREEITEM node) const
{
    SendMessageW(tree_, TVM_DELETEITEM, 0, asParam(node));
}

void TreeWriter::textChanged(HTREEITEM node) const
{
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeWriter::setBold(HTREEITEM node, bool bold) const
{
    setState(node, bold ? TVIS_BOLD : 0, TVIS_BOLD);
}

void TreeWriter::setHasChildren(HTREEITEM node, bool hasChildren) const
{
    TVITEMW item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = node;
    item.cChildren = hasChildren ? 1 : 0;
    SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeWriter::select(HTREEITEM node) const
{
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, asParam(node));
}

void TreeWriter::scrollTo(HTREEITEM node) const
{
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, asParam(node));
}

bool TreeWriter::isExpanded(HTREEITEM node) const
{
    return (SendMessageW(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TreeWriter::expand(HTREEITEM node) const
{
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, asParam(node));
}

void TreeWriter::redraw(bool on) const
{
    SendMessageW(tree_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) // Windows draws nothing by itself when redrawing is switched back on
        InvalidateRect(tree_, nullptr, TRUE);
}

HTREEITEM TreeWriter::get(UINT which) const
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, which, 0));
}

void TreeWriter::setState(HTREEITEM node, UINT state, UINT mask) const
{
    TVITEMW item{};
    item.mask = TVIF_STATE;
    item.hItem = node;
    item.state = state;
    item.stateMask = mask;
    SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}
