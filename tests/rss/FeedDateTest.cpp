#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "rss/FeedReader.h"

namespace {

// Seconds since 1970 for a UTC calendar time, from the proleptic Gregorian day count.
int64_t utc(int year, int month, int day, int hour, int minute, int second)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

class FeedDate : public testing::Test {
protected:
    void SetUp() override { useZone("TZ=UTC0"); }
    void TearDown() override { useZone("TZ=UTC0"); }
    static void useZone(const char* setting)
    {
        _putenv(setting);
        _tzset();
    }
};

struct DateCase {
    const char* text;
    int64_t expected;
};

void expectDates(const std::vector<DateCase>& cases)
{
    for (const DateCase& c : cases)
        EXPECT_EQ(parseFeedDate(c.text), c.expected) << "\"" << c.text << "\"";
}

TEST_F(FeedDate, ReferenceDateInUtc)
{
    EXPECT_EQ(utc(2002, 10, 2, 13, 0, 0), 1033563600); // the day count itself is right
    expectDates({
        {"Wed, 02 Oct 2002 13:00:00 GMT", 1033563600},
        {"Wed, 02 Oct 2002 13:00:00 +0200", 1033563600}, // the zone is not read
        {"Wed, 02 Oct 2002 13:00:00 EST", 1033563600},
        {"Xyz, 02 Oct 2002 13:00:00 GMT", 1033563600}, // nor the weekday
        {"Wed,  2 Oct 2002 13:00:00 GMT", 1033563600}, // a space-padded day reads
        {"Wed, 02 Oct 2002 13:00:00 ", 1033563600},    // 26 bytes are enough
    });
}

TEST_F(FeedDate, TextsThatAreNotInTheFixedColumnsGiveZeroOrMinusOne)
{
    expectDates({
        {"Wed, 2 Oct 2002 13:00:00 GMT", 0},   // month columns hold "ct "
        {"02 Oct 2002 13:00:00 GMT", 0},       // short, no ", "
        {"Wed. 02 Oct 2002 13:00:00 GMT", 0},  // long enough, but no ", "
        {"Wed, 02 oct 2002 13:00:00 GMT", 0},  // month compared case-sensitively
        {" Wed, 02 Oct 2002 13:00:00 GMT", 0}, // columns shifted by one
        {"Wed, 02 Oct 2002 13:00:00", 0},      // 25 bytes
        {"", 0},
        {"Wed, 02 Oct 02 13:00:00 GMT", -1}, // year 2: before what _mktime64 can hold
    });
}

TEST_F(FeedDate, EveryMonthName)
{
    const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 1; month <= 12; ++month) {
        const std::string text = std::string("Sun, 15 ") + names[month - 1] + " 2010 08:09:10 GMT";
        EXPECT_EQ(parseFeedDate(text), utc(2010, month, 15, 8, 9, 10)) << text;
    }
}

TEST_F(FeedDate, OutOfRangeMembersCarryOver)
{
    expectDates({
        {"Fri, 32 Oct 2002 00:00:00 GMT", utc(2002, 11, 1, 0, 0, 0)},
        {"Mon, 31 Dec 2029 23:59:60 GMT", utc(2030, 1, 1, 0, 0, 0)},
        {"Mon, 00 Mar 2004 12:00:00 GMT", utc(2004, 2, 29, 12, 0, 0)},
        {"Mon, 01 Mar 2004 25:61:00 GMT", utc(2004, 3, 2, 2, 1, 0)},
        {"Thu, 01 Jan 2004 00:00:00 GMT, and more", utc(2004, 1, 1, 0, 0, 0)},
        {"Fri, 01 Jan 2100 00:00:00 GMT", utc(2100, 1, 1, 0, 0, 0)},
    });
}

TEST_F(FeedDate, ClockTimeIsTakenAsLocalStandardTime)
{
    useZone("TZ=XYZ-2"); // two hours east of UTC, no daylight saving
    EXPECT_EQ(parseFeedDate("Wed, 02 Oct 2002 13:00:00 GMT"), 1033563600 - 2 * 3600);
    useZone("TZ=ABC5");
    EXPECT_EQ(parseFeedDate("Wed, 02 Oct 2002 13:00:00 GMT"), 1033563600 + 5 * 3600);
}

} // namespace
