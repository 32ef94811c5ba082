#pragma once
// The HTML standard's named character references, sorted by name (byte order).
#include <cstddef>
#include <cstdint>

struct HtmlEntity {
    const char* name; // between '&' and ';'
    uint32_t first;   // the code point it stands for
    uint32_t second;  // a second code point, or 0
};

extern const HtmlEntity kHtmlEntities[];
extern const size_t kHtmlEntityCount;

// Longest name in the table, in characters.
constexpr size_t kLongestEntityName = 31;
