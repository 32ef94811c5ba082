// The wait a Retry-After value asks for, from a fixed "now".
#include <gtest/gtest.h>

#include "TestTime.h"
#include "engine/RetryAfter.h"

namespace {

TEST(RetryAfter, SecondsOrHttpDateAtMostADayAheadAndNothingForThePast)
{
    const int64_t now = utcSeconds(2026, 5, 4, 12, 0, 0);
    constexpr int64_t kDay = 86400;
    struct Case {
        const char* value;
        int64_t until;
    };
    const Case cases[] = {
        {"120", now + 120},
        {"0", 0},
        {"86401", now + kDay},
        {"99999999999999999999999", now + kDay},
        {"Mon, 04 May 2026 13:00:00 GMT", now + 3600},
        {"Monday, 04-May-26 13:00:00 GMT", now + 3600},
        {"Wed, 06 May 2026 12:00:00 GMT", now + kDay},
        {"Mon, 04 May 2026 11:00:00 GMT", 0},
        {"", 0},
        {"-5", 0},
        {"soon", 0},
        {"1.5", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(quietUntil(c.value, now), c.until) << '"' << c.value << '"';
}

} // namespace
