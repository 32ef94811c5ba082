#include "xml/XmlNode.h"

#include <algorithm>
#include <new>
#include <utility>

#include "xml/XmlNodeBlocks.h"

static_assert(alignof(XmlNode) <= alignof(void*), "a node slot is aligned like a pointer");

void* XmlNode::operator new(size_t size)
{
    return Xml::NodeBlocks::allocateSingle(size);
}

void* XmlNode::operator new(size_t size, Xml::NodeBlocks& blocks)
{
    return blocks.allocate(size);
}

void XmlNode::operator delete(void* node) noexcept
{
    Xml::NodeBlocks::release(node);
}

void XmlNode::operator delete(void* node, Xml::NodeBlocks&) noexcept
{
    Xml::NodeBlocks::release(node);
}

namespace {

using NodeList = std::vector<std::unique_ptr<XmlNode>>;

// Makes room for more entries; false when memory is short.
bool makeRoom(NodeList& list, size_t more) noexcept
{
    const size_t needed = list.size() + more;
    if (needed <= list.capacity())
        return true;
    try {
        list.reserve(std::max(needed, 2 * list.capacity()));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

XmlNode::~XmlNode()
{
    // Descendants move to a work list and die one at a time, so the stack
    // depth stays constant however deep the tree is nested.
    if (children.empty())
        return;
    NodeList pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        // Without room the node keeps its children and its own destructor walks them.
        if (!node || !makeRoom(pending, node->children.size()))
            continue;
        for (auto& child : node->children)
            pending.push_back(std::move(child));
        node->children.clear();
    }
}
