#pragma once
// The Windows C runtime's _mktime64, so that the feed date reader builds
// natively unchanged (forced in with -include): glibc's time_t has 64 bits.
// glibc accepts dates before 1970 and after 3000, which _mktime64 answers
// with -1; the fuzz properties only compare values inside that range.
#include <cstdint>
#include <ctime>

inline int64_t _mktime64(std::tm* broken)
{
    return static_cast<int64_t>(std::mktime(broken));
}
