#include "TreeDump.h"

#include <cstdio>
#include <cstring>

std::string escapeBytes(const std::string& bytes)
{
    std::string out;
    for (char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u > 126 || std::strchr("\\{}[]()=,", c)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

std::string dumpChildren(const XmlNode& node)
{
    std::string out;
    for (const auto& child : node.children) {
        if (!out.empty())
            out += ',';
        out += dumpNode(*child);
    }
    return out;
}

} // namespace

std::string dumpNode(const XmlNode& node)
{
    std::string out = escapeBytes(node.name);
    if (!node.text.empty())
        out += '{' + escapeBytes(node.text) + '}';
    if (!node.attributes.empty()) {
        out += '[';
        for (const auto& [key, value] : node.attributes) {
            if (out.back() != '[')
                out += ',';
            out += escapeBytes(key) + '=' + escapeBytes(value);
        }
        out += ']';
    }
    if (!node.children.empty())
        out += '(' + dumpChildren(node) + ')';
    if (!node.tail.empty())
        out += "~{" + escapeBytes(node.tail) + '}';
    return out;
}

std::string dumpDocument(const XmlNode& document)
{
    return dumpChildren(document);
}
