// parseFeedDate on arbitrary bytes, read as UTC: no crash or sanitizer report;
// 0 for a text under 26 bytes, without ", ", or without an exact month name at
// columns 8 to 10; and where the day, year, hour, minute and second columns
// hold only digits (year 1971 to 2999), the time computed here from the
// civil calendar, with out-of-range fields carried over.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "FuzzCheck.h"
#include "rss/FeedReader.h"

namespace {

int monthIndex(const std::string& text)
{
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 0; month < 12; ++month)
        if (std::memcmp(text.data() + 8, names[month], 3) == 0)
            return month;
    return -1;
}

bool digitsAt(const std::string& text, size_t column, size_t width, int64_t& value)
{
    value = 0;
    for (size_t i = column; i < column + width; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// Days from 1970-01-01 to the first of the month (month 1 to 12) in the
// proleptic Gregorian calendar.
int64_t daysToMonth(int64_t year, int64_t month)
{
    year -= month <= 2;
    const int64_t era = year / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "UTC0", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int64_t found = parseFeedDate(text);
    if (size < 26 || text.find(", ") == std::string::npos) {
        QF_FUZZ_CHECK(found == 0, "%lld for a text of %zu bytes", static_cast<long long>(found), size);
        return 0;
    }
    const int month = monthIndex(text);
    if (month < 0) {
        QF_FUZZ_CHECK(found == 0, "%lld without a month name", static_cast<long long>(found));
        return 0;
    }
    int64_t day, year, hour, minute, second;
    if (!digitsAt(text, 5, 2, day) || !digitsAt(text, 12, 4, year) || !digitsAt(text, 17, 2, hour) ||
        !digitsAt(text, 20, 2, minute) || !digitsAt(text, 23, 2, second) || year < 1971 || year > 2999)
        return 0;
    const int64_t expected = (daysToMonth(year, month + 1) + day - 1) * 86400 + hour * 3600 + minute * 60 + second;
    QF_FUZZ_CHECK(found == expected, "%lld, expected %lld", static_cast<long long>(found),
                  static_cast<long long>(expected));
    return 0;
}
