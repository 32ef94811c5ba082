#include "rss/DocumentEncoding.h"

#include <cstdint>
#include <cstring>

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool continuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed sequence at `p` (lead byte at least 0x80), 0 when there is none.
size_t sequenceAt(const uint8_t* p, const uint8_t* end)
{
    const uint8_t lead = p[0];
    size_t length;
    uint8_t low = 0x80, high = 0xBF; // the range of the second byte (RFC 3629's table)
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < length || p[1] < low || p[1] > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (!continuation(p[i]))
            return 0;
    return length;
}

} // namespace

bool isUtf8(const char* data, size_t size)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
    const uint8_t* end = p + size;
    while (p < end) {
        // ASCII eight bytes at a time: most of a feed is markup.
        uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ULL) == 0)) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const size_t length = sequenceAt(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

std::string documentEncoding(const std::string& body, const std::string& declared)
{
    if (body.compare(0, 3, kByteOrderMark) == 0)
        return "utf-8";
    if (declared.empty() && !isUtf8(body.data(), body.size()))
        return "windows-1252";
    return declared;
}
