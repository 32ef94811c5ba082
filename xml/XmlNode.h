#pragma once
// One element of the parsed tree: name, own text, attributes, owned children.
#include <map>
#include <memory>
#include <string>
#include <vector>

struct XmlNode {
    XmlNode() = default;
    explicit XmlNode(std::string elementName) : name(std::move(elementName)) {}
    ~XmlNode(); // iterative: a hostile nesting depth must not exhaust the stack
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    std::string name;
    std::string text;
    std::vector<std::unique_ptr<XmlNode>> children;
    std::map<std::string, std::string> attributes;
};
