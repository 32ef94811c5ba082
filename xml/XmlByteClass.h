#pragma once
// Byte classes for the parser's run scans: which bytes end a run of ordinary
// bytes in each accumulating state, looked up in one 256-entry table.
#include <array>
#include <cstddef>
#include <cstdint>

namespace Xml {

enum ByteClass : uint8_t {
    kDropped = 1,           // TAB, LF, CR: left out wherever they appear
    kEndsText = 2,          // <
    kEndsStartName = 4,     // space > /
    kEndsEndName = 8,       // space >
    kEndsAttrName = 16,     // space = >
    kEndsDoubleQuoted = 32, // " >
    kEndsSingleQuoted = 64, // '
    kAmpersand = 128,       // &: written out again when CDATA content joins a text
};

constexpr std::array<uint8_t, 256> makeByteClasses()
{
    std::array<uint8_t, 256> table{};
    table['\t'] = table['\n'] = table['\r'] = kDropped;
    table['<'] = kEndsText;
    table['>'] = kEndsStartName | kEndsEndName | kEndsAttrName | kEndsDoubleQuoted;
    table['&'] = kAmpersand;
    table[' '] = kEndsStartName | kEndsEndName | kEndsAttrName;
    table['/'] = kEndsStartName;
    table['='] = kEndsAttrName;
    table['"'] = kEndsDoubleQuoted;
    table['\''] = kEndsSingleQuoted;
    return table;
}

inline constexpr std::array<uint8_t, 256> kByteClasses = makeByteClasses();

inline bool hasClass(char c, uint8_t classes)
{
    return (kByteClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

// Index of the first byte in [from, end) with one of the classes, or end.
inline size_t findClass(const char* data, size_t from, size_t end, uint8_t classes)
{
    size_t p = from;
    while (end - p >= 4) { // unrolled: runs of text are the bulk of a feed
        if (hasClass(data[p], classes))
            return p;
        if (hasClass(data[p + 1], classes))
            return p + 1;
        if (hasClass(data[p + 2], classes))
            return p + 2;
        if (hasClass(data[p + 3], classes))
            return p + 3;
        p += 4;
    }
    while (p < end && !hasClass(data[p], classes))
        ++p;
    return p;
}

} // namespace Xml
