#pragma once
// One element of the parsed tree: name, own text, attributes, owned children.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Xml {
class NodeBlocks;
}

struct XmlNode {
    XmlNode() = default;
    explicit XmlNode(std::string elementName) : name(std::move(elementName)) {}
    ~XmlNode(); // iterative: a hostile nesting depth must not exhaust the stack
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    std::string name;
    // Character data before the first child, references not decoded; CDATA
    // content is in it with each '&' written as "&amp;" (xml/XmlMarkup.h).
    std::string text;
    // Character data after this element's end tag up to the next tag of its
    // parent, in the same form as `text`; with it the parent's mixed content
    // can be read in document order. Empty for the top-level element.
    std::string tail;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::map<std::string, std::string> attributes;

    // The parser places nodes in shared blocks (xml/XmlNodeBlocks.h); `delete`
    // frees a node from either source.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, Xml::NodeBlocks& blocks);
    static void operator delete(void* node) noexcept;
    static void operator delete(void* node, Xml::NodeBlocks& blocks) noexcept;
};
