#pragma once
// The Windows C runtime's _mktime64 for the native build (forced in with
// -include): glibc's time_t has 64 bits, and the CRT's range, 1970 to the end
// of 3000 UTC, is kept by answering -1 outside it.
#include <cstdint>
#include <ctime>

inline int64_t _mktime64(std::tm* broken)
{
    const int64_t seconds = static_cast<int64_t>(std::mktime(broken));
    return seconds < 0 || seconds > 32535215999 ? -1 : seconds;
}
