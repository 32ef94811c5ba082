#pragma once
// The whole character data of an element, as mixed content is read.
#include <cstddef>
#include <string>

#include "xml/XmlNode.h"

// The element's text, then each child's whole text followed by that child's
// tail, in document order: "a <b>b</b> c" gives "a b c". Same form as
// XmlNode::text (references not decoded). Walks without recursion, so a
// hostile nesting depth cannot exhaust the stack. Stops as soon as the text is
// longer than `limit`, which the caller can then reject without holding more.
std::string wholeText(const XmlNode& element, size_t limit = std::string::npos);
