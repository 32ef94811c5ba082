#pragma once
// Compact text form of a parsed tree for readable test expectations:
// name{text}[key=value,...](child,...), parts left out when empty; a
// document node shows only its children, without the parentheses.
// Bytes \ { } [ ] ( ) = , and those outside 32..126 are written as \xNN.
#include <string>

#include "xml/XmlNode.h"

std::string escapeBytes(const std::string& bytes);
std::string dumpNode(const XmlNode& node);
std::string dumpDocument(const XmlNode& document);
