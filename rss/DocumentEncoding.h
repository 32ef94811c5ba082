#pragma once
// Which encoding a document's text is read in.
#include <cstddef>
#include <string>

// A UTF-8 byte-order mark wins over the declared name; a document that
// declares none and whose bytes are not UTF-8 is read as windows-1252, as
// feed readers and browsers read such documents.
std::string documentEncoding(const std::string& body, const std::string& declared);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isUtf8(const char* data, size_t size);
