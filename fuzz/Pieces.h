#pragma once
// How the stream targets cut an input into the pieces a socket could hand
// over: the first byte's low two bits give how many of the next bytes (1 to
// 4) are piece sizes, used in turn until the rest of the input is used up; its
// upper six bits are left to the target. A size of 0 is an empty piece, which
// must change nothing; when every size is 0 the pieces are single bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct Pieces {
    unsigned flags = 0;         // the first byte's upper six bits
    const char* data = nullptr; // the stream: the input after the cut bytes
    size_t size = 0;
    std::vector<size_t> sizes;  // in order, adding up to `size`
};

inline Pieces cutInput(const uint8_t* data, size_t size)
{
    Pieces pieces;
    if (size == 0)
        return pieces;
    pieces.flags = data[0] >> 2;
    const size_t count = std::min<size_t>((data[0] & 3) + 1, size - 1);
    std::vector<size_t> cycle(data + 1, data + 1 + count);
    if (std::all_of(cycle.begin(), cycle.end(), [](size_t piece) { return piece == 0; }))
        cycle.assign(1, 1);
    pieces.data = reinterpret_cast<const char*>(data + 1 + count);
    pieces.size = size - 1 - count;
    for (size_t left = pieces.size, turn = 0; left > 0; ++turn) {
        const size_t piece = std::min(cycle[turn % cycle.size()], left);
        pieces.sizes.push_back(piece);
        left -= piece;
    }
    return pieces;
}
