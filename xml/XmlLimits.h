#pragma once
// What one document may hold. A body is at most 32 MiB (net/FetchControl.h);
// within that, these keep its tree (with the body still held) to about four
// times the body, where a hostile one made of empty elements or attributes
// would otherwise build tens of times its size. Each one exceeded is a single
// RSS::XMLException at the byte where the parser finds it.
#include <cstddef>

namespace Xml {

// Longest name, text, tail or attribute value: whole articles in content:encoded are tens to hundreds of KiB.
inline constexpr size_t kMaxTextBytes = 4 * 1024 * 1024;

// Elements and attributes together, 100-200 bytes each in the tree: 10 000 items of 20 fit, in 1.5x a 32 MiB body.
inline constexpr size_t kMaxNodes = 250000;

// Open elements, the top-level one counted: feeds nest under ten, XHTML content a few dozen more (libxml2's default).
inline constexpr size_t kMaxDepth = 256;

// Distinct attributes of one element: media:content, among the richest, defines fourteen.
inline constexpr size_t kMaxAttributesPerElement = 64;

// CDATA '&' kept as "&amp;", 5 bytes for 1: real feeds have a few per item, a million add at most 4 MiB.
inline constexpr size_t kMaxCdataAmpersands = 1024 * 1024;

} // namespace Xml
