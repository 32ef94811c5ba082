#include "xml/XmlNodeText.h"

#include <cstddef>
#include <utility>
#include <vector>

std::string wholeText(const XmlNode& element, size_t limit)
{
    if (element.children.empty())
        return element.text;
    std::string text = element.text;
    // Each open element with the index of its next child to visit.
    std::vector<std::pair<const XmlNode*, size_t>> open{{&element, 0}};
    while (!open.empty() && text.size() <= limit) {
        auto& [node, next] = open.back();
        if (next == node->children.size()) {
            if (node != &element)
                text += node->tail;
            open.pop_back();
            continue;
        }
        const XmlNode* child = node->children[next++].get();
        if (!child)
            continue;
        text += child->text;
        open.emplace_back(child, 0);
    }
    return text;
}
