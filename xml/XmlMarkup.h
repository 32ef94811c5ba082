#pragma once
// Scans over markup whose content the tree does not keep: declarations
// (DOCTYPE, CDATA) and processing instructions. Each takes the input and the
// index of the byte that introduced it, and returns where parsing goes on
// (the byte after the closing '>', or the input size when none is found).
#include <cstddef>
#include <string>

namespace Xml {

// From the byte after `bang` ('!'): the first ']', then the first '>' after it.
size_t skipDeclaration(const char* data, size_t size, size_t bang);

// From `question` ('?') to the first '>'; each encoding="..." value found on the
// way is appended to `encoding`.
size_t readProcessingInstruction(const char* data, size_t size, size_t question, std::string& encoding);

} // namespace Xml
