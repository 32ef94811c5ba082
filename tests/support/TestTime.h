#pragma once
// Time for the tests: the process's local time zone (feed dates without a zone
// are local time), and the instant of a UTC calendar time worked out
// independently of the C runtime. Portable: the native build uses it too.
#include <cstdint>
#include <cstdlib>
#include <ctime>

// A TZ value such as "UTC0" or "EST5EDT", on Windows and natively alike.
inline void useLocalZone(const char* zone)
{
#ifdef _WIN32
    _putenv_s("TZ", zone);
    _tzset();
#else
    setenv("TZ", zone, 1);
    tzset();
#endif
}

inline void useUtc()
{
    useLocalZone("UTC0");
}

// Seconds since 1970 for a UTC calendar time, from the proleptic Gregorian day count.
inline int64_t utcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}
