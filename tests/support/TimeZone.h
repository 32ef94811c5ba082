#pragma once
// Feed dates are read as local standard time; the tests pin it to UTC.
#include <cstdlib>
#include <ctime>

inline void useUtc()
{
    _putenv("TZ=UTC0");
    _tzset();
}
