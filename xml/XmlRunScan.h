#pragma once
// Finding where a run of ordinary bytes ends: the first byte of the state's
// ending classes or TAB/LF/CR. Many bytes are tested at once for cheap
// candidates (two given bytes, or any byte below a bound) and each candidate
// is then checked against the byte-class table.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "xml/XmlByteClass.h"

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define QF_XML_SSE2 1
#endif
#if defined(QF_XML_SSE2) && defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace Xml {

struct RunEnds {
    uint8_t classes; // with kDropped, the bytes that end the run
    char first;      // candidates: these two bytes...
    char second;
    uint8_t below; // ...and every byte below this (at most 128)
};

inline constexpr RunEnds kTextEnds{kEndsText, '<', '<', 15};
inline constexpr RunEnds kStartNameEnds{kEndsStartName, '>', '/', 33};
inline constexpr RunEnds kEndNameEnds{kEndsEndName, '>', '>', 33};
inline constexpr RunEnds kAttrNameEnds{kEndsAttrName, '=', '>', 33};
inline constexpr RunEnds kDoubleQuotedEnds{kEndsDoubleQuoted, '"', '>', 15};
inline constexpr RunEnds kSingleQuotedEnds{kEndsSingleQuoted, '\'', '\'', 15};

// Every byte that ends the run must be a candidate, or a scan would miss it.
constexpr bool candidatesCoverEnds(const RunEnds& ends)
{
    for (int b = 0; b < 256; ++b) {
        const bool ending = (kByteClasses[b] & (ends.classes | kDropped)) != 0;
        const bool candidate =
            b < ends.below || static_cast<char>(b) == ends.first || static_cast<char>(b) == ends.second;
        if (ending && !candidate)
            return false;
    }
    return ends.below <= 128;
}

static_assert(candidatesCoverEnds(kTextEnds) && candidatesCoverEnds(kStartNameEnds) &&
                  candidatesCoverEnds(kEndNameEnds) && candidatesCoverEnds(kAttrNameEnds) &&
                  candidatesCoverEnds(kDoubleQuotedEnds) && candidatesCoverEnds(kSingleQuotedEnds),
              "run scans would miss an ending byte");

// Plain C++, eight bytes per step; the bytes of a word with a candidate are
// then checked in order, so the result does not depend on byte order.
inline size_t findRunEndPortable(const char* data, size_t from, size_t end, const RunEnds& ends)
{
    const uint8_t classes = ends.classes | kDropped;
    const uint64_t ones = 0x0101010101010101u;
    const uint64_t first = ones * static_cast<unsigned char>(ends.first);
    const uint64_t second = ones * static_cast<unsigned char>(ends.second);
    size_t p = from;
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, data + p, 8);
        const uint64_t a = word ^ first;
        const uint64_t b = word ^ second;
        const uint64_t flags = ((a - ones) & ~a) | ((b - ones) & ~b) | ((word - ones * ends.below) & ~word);
        if (flags & (ones * 0x80)) {
            const size_t hit = findClass(data, p, p + 8, classes);
            if (hit < p + 8)
                return hit;
        }
        p += 8;
    }
    return findClass(data, p, end, classes);
}

#ifdef QF_XML_SSE2
inline unsigned lowestSetBit(unsigned mask)
{
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanForward(&index, mask);
    return static_cast<unsigned>(index);
#else
    return static_cast<unsigned>(__builtin_ctz(mask));
#endif
}

// Sixteen bytes per step with SSE2, which every x86-64 processor has.
inline size_t findRunEndSse2(const char* data, size_t from, size_t end, const RunEnds& ends)
{
    const uint8_t classes = ends.classes | kDropped;
    const __m128i first = _mm_set1_epi8(ends.first);
    const __m128i second = _mm_set1_epi8(ends.second);
    const __m128i lowest = _mm_set1_epi8(static_cast<char>(ends.below - 1));
    size_t p = from;
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, lowest), v);
        const __m128i equal = _mm_or_si128(_mm_cmpeq_epi8(v, first), _mm_cmpeq_epi8(v, second));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(low, equal)));
        while (mask != 0) { // bit i stands for byte p + i
            const size_t at = p + lowestSetBit(mask);
            if (hasClass(data[at], classes))
                return at;
            mask &= mask - 1;
        }
        p += 16;
    }
    return findRunEndPortable(data, p, end, ends);
}
#endif

inline size_t findRunEnd(const char* data, size_t from, size_t end, const RunEnds& ends)
{
#ifdef QF_XML_SSE2
    return findRunEndSse2(data, from, end, ends);
#else
    return findRunEndPortable(data, from, end, ends);
#endif
}

} // namespace Xml
