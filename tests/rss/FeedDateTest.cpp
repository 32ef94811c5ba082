#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestTime.h"
#include "rss/FeedDate.h"

namespace {

const int64_t kOct2 = 1033563600; // Wed, 02 Oct 2002 13:00:00 UTC

class FeedDate : public testing::Test {
protected:
    void SetUp() override { useLocalZone("UTC0"); }
    void TearDown() override { useLocalZone("UTC0"); }
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

TEST_F(FeedDate, ZonesGiveTheTrueInstant)
{
    EXPECT_EQ(utcSeconds(2002, 10, 2, 13, 0, 0), kOct2); // the day count itself is right
    const int64_t hour = 3600;
    expectDates({
        {"Wed, 02 Oct 2002 13:00:00 GMT", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 UT", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 UTC", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 Z", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 gmt", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 +0000", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 +0200", kOct2 - 2 * hour},
        {"Wed, 02 Oct 2002 13:00:00 -0500", kOct2 + 5 * hour},
        {"Wed, 02 Oct 2002 13:00:00 +0530", kOct2 - 5 * hour - 1800},
        {"Wed, 02 Oct 2002 13:00:00 +02:00", kOct2 - 2 * hour},
        {"Wed, 02 Oct 2002 13:00:00 EST", kOct2 + 5 * hour},
        {"Wed, 02 Oct 2002 13:00:00 EDT", kOct2 + 4 * hour},
        {"Wed, 02 Oct 2002 13:00:00 CST", kOct2 + 6 * hour},
        {"Wed, 02 Oct 2002 13:00:00 CDT", kOct2 + 5 * hour},
        {"Wed, 02 Oct 2002 13:00:00 MST", kOct2 + 7 * hour},
        {"Wed, 02 Oct 2002 13:00:00 MDT", kOct2 + 6 * hour},
        {"Wed, 02 Oct 2002 13:00:00 PST", kOct2 + 8 * hour},
        {"Wed, 02 Oct 2002 13:00:00 PDT", kOct2 + 7 * hour},
        {"Wed, 02 Oct 2002 13:00:00 ET", kOct2 + 5 * hour}, // standard time
        {"Wed, 02 Oct 2002 13:00:00 CT", kOct2 + 6 * hour},
        {"Wed, 02 Oct 2002 13:00:00 MT", kOct2 + 7 * hour},
        {"Wed, 02 Oct 2002 13:00:00 PT", kOct2 + 8 * hour},
        {"Wed, 02 Oct 2002 13:00:00 GMT, and more", kOct2},
        {"Thu, 03 Oct 2002 00:30:00 +0100", utcSeconds(2002, 10, 2, 23, 30, 0)}, // the day changes too
    });
}

TEST_F(FeedDate, FormsFeedsUse)
{
    const int64_t dec5 = utcSeconds(2026, 12, 5, 14, 30, 0);
    expectDates({
        {"Sat, 5 Dec 2026 14:30:00 GMT", dec5},
        {"Sat,  5 Dec 2026 14:30:00 GMT", dec5},
        {"5 Dec 2026 14:30:00 GMT", dec5},
        {"Sat 05 Dec 2026 14:30:00 GMT", dec5},
        {"Sat,05 Dec 2026 14:30:00 GMT", dec5},
        {"Sat, 5 Dec, 2026 14:30:00 GMT", dec5}, // stray commas
        {"5 Dec 2026, 14:30 , GMT", dec5},
        {"Sat ,05, Dec 2026 14:30:00 GMT", dec5},
        {"Xyz, 05 Dec 2026 14:30:00 GMT", dec5}, // the weekday is not checked
        {"Saturday, 05 December 2026 14:30:00 GMT", dec5},
        {"sat, 05 DEC 2026 14:30:00 GMT", dec5},
        {"Sat, 05 dec 2026 14:30 GMT", dec5},
        {"Sat, 05 Dec 26 14:30:00 GMT", dec5},
        {"Saturday, 05-Dec-26 14:30:00 GMT", dec5},
        {"  Sat, 05 Dec 2026 14:30:00 GMT  ", dec5},
        {"Sat, 05 Dec 2026 9:05:00 GMT", utcSeconds(2026, 12, 5, 9, 5, 0)},
        {"Tue, 05 Sept 2000 14:30:00 GMT", utcSeconds(2000, 9, 5, 14, 30, 0)},
        {"Wed, 01 Jan 00 00:00:00 GMT", utcSeconds(2000, 1, 1, 0, 0, 0)},
        {"Wed, 01 Jan 49 00:00:00 GMT", utcSeconds(2049, 1, 1, 0, 0, 0)},
        {"Wed, 01 Jan 70 00:00:01 GMT", 1},
        {"Wed, 01 Jan 99 00:00:00 GMT", utcSeconds(1999, 1, 1, 0, 0, 0)},
    });
}

TEST_F(FeedDate, TextsThatAreNotDatesGiveZero)
{
    expectDates({
        {"", 0},
        {"soon", 0},
        {"Wed, 02 Oct 2002 XYZ", 0},           // no time, and no known zone after
        {"Oct 02, 2002", 0},                   // commas only in RFC 822 forms
        {"Wed, 02 Oc 2002 13:00:00 GMT", 0},   // month name too short
        {"Wed, 02 Oct. 2002 13:00:00 GMT", 0}, // nor any other month spelling
        {"Wed, 02 Foo 2002 13:00:00 GMT", 0},  // not a month
        {"Wed, 123 Oct 2002 13:00:00 GMT", 0}, // three-digit day
        {"Wed, 02 Oct 200 13:00:00 GMT", 0},   // three-digit year
        {"Wed, 02 Oct 20021 13:00:00 GMT", 0}, // five-digit year
        {"Wed, 02 Oct 2002 1300 GMT", 0},      // no colon
        {"Wed, 02 Oct 2002 13:0 GMT", 0},      // one-digit minute
        {"Wed, 02 Oct 2002 13:00:0 GMT", 0},   // one-digit second
        {"Wed02 Oct 2002 13:00:00 GMT", 0},    // weekday run into the day
        {"2002-10-02X13:00:00Z", 0},           // no T between date and time
        {"2002-13-02T13:00:00Z", 0},           // month 13
        {"2002-10-32", 0},                     // day 32
        {"02-10-2002 13:00:00", 0},            // ISO needs the year first
        {"Oct 02 13:00:00 GMT", 0},            // month first, no year
    });
}

TEST_F(FeedDate, OtherFormsAndNamedZones)
{
    const int64_t hour = 3600;
    expectDates({
        {"2002-10-02T13:00:00Z", kOct2},
        {"2002-10-02t13:00:00z", kOct2},
        {"2002-10-02 13:00:00Z", kOct2},
        {"2002-10-02T15:00:00+02:00", kOct2},
        {"2002-10-02T08:00:00-0500", kOct2},
        {"2002-10-02T13:00:00.123456789Z", kOct2},
        {"2002-10-02T13:00:00,5+00:00", kOct2},
        {"2002-10-02T13:00Z", kOct2},
        {" 2002-10-02T13:00:00Z ", kOct2},
        {"2002-10-02", utcSeconds(2002, 10, 2, 0, 0, 0)}, // no zone: local, here UTC
        {"Wednesday, 02-Oct-02 13:00:00 GMT", kOct2},     // RFC 850
        {"Wed Oct  2 13:00:00 2002", kOct2},              // asctime
        {"Wed Oct 2 13:00:00 UTC 2002", kOct2},           // date(1)
        {"Wed Oct 02 2002 15:00:00 GMT+0200 (CEST)", kOct2},
        {"Sat Oct 06 2018 00:00:00 GMT+0000 (UTC)", utcSeconds(2018, 10, 6, 0, 0, 0)},
        {"Oct 02 2002 13:00:00 GMT", kOct2},
        {"Wed, 02 Oct 2002 15:00:00 GMT+0200", kOct2},
        {"Wed, 02 Oct 2002 15:00:00 GMT+2", kOct2},
        {"Wed, 02 Oct 2002 05:00:00 -800", kOct2},
        {"Wed, 02 Oct 2002 15:00:00 +02", kOct2},
        {"Wed, 02 Oct 2002 14:00:00 CET", kOct2},
        {"Wed, 02 Oct 2002 15:00:00 CEST", kOct2},
        {"Wed, 02 Oct 2002 15:00:00 EET", kOct2},
        {"Wed, 02 Oct 2002 16:00:00 EEST", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 WET", kOct2},
        {"Wed, 02 Oct 2002 14:00:00 WEST", kOct2},
        {"Wed, 02 Oct 2002 14:00:00 BST", kOct2},
        {"Wed, 02 Oct 2002 16:00:00 MSK", kOct2},
        {"Wed, 02 Oct 2002 18:30:00 IST", kOct2},
        {"Wed, 02 Oct 2002 22:00:00 JST", kOct2},
        {"Wed, 02 Oct 2002 22:00:00 KST", kOct2},
        {"Wed, 02 Oct 2002 21:00:00 HKT", kOct2},
        {"Wed, 02 Oct 2002 21:00:00 SGT", kOct2},
        {"Wed, 02 Oct 2002 23:00:00 AEST", kOct2},
        {"Thu, 03 Oct 2002 00:00:00 AEDT", kOct2},
        {"Thu, 03 Oct 2002 01:00:00 NZST", kOct2},
        {"Thu, 03 Oct 2002 02:00:00 NZDT", kOct2},
        {"Wed, 02 Oct 2002 03:00:00 HST", kOct2},
        {"Wed, 02 Oct 2002 04:00:00 AKST", kOct2},
        {"Wed, 02 Oct 2002 13:00:00 +0000 (Coordinated Universal Time)", kOct2},
        {"2002-10-02T13:00:00+14:00", kOct2 - 14 * hour},
    });
}

TEST_F(FeedDate, PartialDatesAreTheirFirstInstant)
{
    expectDates({
        {"Tue, 10 Jun 2003", utcSeconds(2003, 6, 10, 0, 0, 0)},
        {"Tuesday, 10-Jun-03 EST", utcSeconds(2003, 6, 10, 5, 0, 0)},
        {"Tue Jun 10 2003", utcSeconds(2003, 6, 10, 0, 0, 0)},
        {"2003-06", utcSeconds(2003, 6, 1, 0, 0, 0)},
        {"2003", utcSeconds(2003, 1, 1, 0, 0, 0)},
    });
}

TEST_F(FeedDate, OnlyTheCrtRangeIsKept)
{
    expectDates({
        {"Wed, 02 Oct 1969 13:00:00 GMT", -1},
        {"Thu, 01 Jan 1970 00:30:00 +0100", -1}, // 23:30 the day before, in UTC
        {"Wed, 01 Jan 50 00:00:00 GMT", -1},     // 1950
        {"Tue, 31 Dec 3000 23:59:59 GMT", utcSeconds(3000, 12, 31, 23, 59, 59)},
        {"Wed, 01 Jan 3001 00:00:00 GMT", -1},
        {"Wed, 02 Oct 1969 13:00:00", -1},
    });
}

TEST_F(FeedDate, EveryMonthName)
{
    const char* const names[] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
    for (int month = 1; month <= 12; ++month) {
        const std::string name = names[month - 1];
        for (const std::string& written : {name.substr(0, 3), name}) {
            const std::string text = "Sun, 15 " + written + " 2010 08:09:10 GMT";
            EXPECT_EQ(parseFeedDate(text), utcSeconds(2010, month, 15, 8, 9, 10)) << text;
        }
    }
}

TEST_F(FeedDate, OutOfRangeMembersCarryOver)
{
    expectDates({
        {"Fri, 32 Oct 2002 00:00:00 GMT", utcSeconds(2002, 11, 1, 0, 0, 0)},
        {"Mon, 31 Dec 2029 23:59:60 GMT", utcSeconds(2030, 1, 1, 0, 0, 0)},
        {"Mon, 00 Mar 2004 12:00:00 GMT", utcSeconds(2004, 2, 29, 12, 0, 0)},
        {"Mon, 01 Mar 2004 25:61:00 GMT", utcSeconds(2004, 3, 2, 2, 1, 0)},
        {"Mon, 01 Mar 2004 25:61:00", utcSeconds(2004, 3, 2, 2, 1, 0)},
    });
}

TEST_F(FeedDate, WithoutAKnownZoneTheClockTimeIsLocalStandardTime)
{
    useLocalZone("XYZ-2"); // two hours east of UTC, no daylight saving
    expectDates({
        {"Wed, 02 Oct 2002 13:00:00", kOct2 - 2 * 3600},
        {"Wed, 02 Oct 2002 13:00:00 XYZ", kOct2 - 2 * 3600}, // not a known zone
        {"2002-10-02T13:00:00", kOct2 - 2 * 3600},
        {"2002-10-02", utcSeconds(2002, 10, 2, 0, 0, 0) - 2 * 3600},
        {"Wed, 02 Oct 2002", utcSeconds(2002, 10, 2, 0, 0, 0) - 2 * 3600},
        {"2002", utcSeconds(2002, 1, 1, 0, 0, 0) - 2 * 3600},
        {"Wed Oct  2 13:00:00 2002", kOct2 - 2 * 3600},
        {"Wed, 02 Oct 2002 13:00:00 GMT", kOct2},
    });
    useLocalZone("ABC5");
    expectDates({
        {"Wed, 02 Oct 2002 13:00:00", kOct2 + 5 * 3600},
        {"Wed, 02 Oct 2002 13:00:00 -0800", kOct2 + 8 * 3600},
    });
}

} // namespace
