#pragma once
// Scans over markup that is not an element: declarations (DOCTYPE and the
// like), CDATA sections and processing instructions. Each takes the input and
// the index of the byte that introduced it, and returns where parsing goes on
// (the byte after the markup's end, or the input size when none is found).
#include <cstddef>
#include <string>

namespace Xml {

// From the byte after `bang` ('!'): to the first '>' when it comes before any
// '['; otherwise, past an internal subset, to the first ']' after the '[' and
// then the next '>'.
size_t skipDeclaration(const char* data, size_t size, size_t bang);

// Whether "[CDATA[" follows `bang` directly.
bool cdataStartsAt(const char* data, size_t size, size_t bang);

// From `bang` of a CDATA section to the byte after its first "]]>". When
// `text` is given and the section is closed, its content is appended to it in
// the form of a text run: TAB/LF/CR left out and each '&' written as "&amp;",
// so that decoding the references of the whole text gives the content back
// exactly as written; `ampersands` counts the '&' so written. Fails at the
// byte that ends a piece taking the text past kMaxTextBytes or the count
// past kMaxCdataAmpersands.
size_t readCdata(const char* data, size_t size, size_t bang, std::string* text, size_t& ampersands);

// From `question` ('?') to the first '>'; each encoding="..." or
// encoding='...' value found on the way is appended to `encoding`.
size_t readProcessingInstruction(const char* data, size_t size, size_t question, std::string& encoding);

} // namespace Xml
