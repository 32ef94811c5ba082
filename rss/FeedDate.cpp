#include "rss/FeedDate.h"

#include <ctime>

namespace {

const int64_t kLastSecond = 32535215999; // 3000-12-31 23:59:59 UTC, the end of the CRT's documented range

struct Zone {
    const char* name; // lower case
    int hours;        // east of UTC
};

const Zone kZones[] = {{"gmt", 0},  {"ut", 0},   {"utc", 0},  {"z", 0},    {"est", -5}, {"edt", -4},
                       {"cst", -6}, {"cdt", -5}, {"mst", -7}, {"mdt", -6}, {"pst", -8}, {"pdt", -7}};

const char* const kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                               "july",    "august",   "september", "october", "november", "december"};

struct DateParts {
    int day = 0;
    int month = 0; // 0 to 11
    int year = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool zoned = false;
    int offset = 0; // seconds east of UTC
};

// A cursor over the date text.
class DateText {
public:
    explicit DateText(const std::string& text) : p_(text.data()), end_(text.data() + text.size()) {}

    // Skips blanks; how many there were.
    int blanks()
    {
        int count = 0;
        for (; p_ < end_ && *p_ == ' '; ++p_)
            ++count;
        return count;
    }

    bool take(char c)
    {
        if (p_ >= end_ || *p_ != c)
            return false;
        ++p_;
        return true;
    }

    // A run of ASCII letters, lower-cased; empty when none.
    std::string word()
    {
        std::string letters;
        for (; p_ < end_ && isLetter(*p_); ++p_)
            letters.push_back(static_cast<char>(*p_ | 0x20));
        return letters;
    }

    // Up to `most` decimal digits; how many were read, 0 when none or more follow.
    int digits(int most, int& value)
    {
        int count = 0;
        value = 0;
        for (; p_ < end_ && isDigit(*p_); ++p_, ++count) {
            if (count == most)
                return 0;
            value = value * 10 + (*p_ - '0');
        }
        return count;
    }

private:
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    const char* p_;
    const char* end_;
};

// Three letters or more that begin an English month name.
int monthNamed(const std::string& word)
{
    if (word.size() < 3)
        return -1;
    for (int month = 0; month < 12; ++month)
        if (std::string(kMonths[month]).compare(0, word.size(), word) == 0)
            return month;
    return -1;
}

// Blanks, or one '-' as in 02-Oct-2002.
bool separator(DateText& in)
{
    return in.take('-') || in.blanks() > 0;
}

// [weekday[,]] day month year, the weekday not checked against the date.
bool readCalendarDate(DateText& in, DateParts& parts)
{
    in.blanks();
    if (!in.word().empty() && !in.take(',') && in.blanks() == 0)
        return false;
    in.blanks();
    if (in.digits(2, parts.day) == 0 || !separator(in))
        return false;
    parts.month = monthNamed(in.word());
    if (parts.month < 0 || !separator(in))
        return false;
    const int yearDigits = in.digits(4, parts.year);
    if (yearDigits == 2)
        parts.year += parts.year < 50 ? 2000 : 1900;
    return yearDigits == 2 || yearDigits == 4;
}

// hh:mm with optional :ss.
bool readClock(DateText& in, DateParts& parts)
{
    if (in.blanks() == 0 || in.digits(2, parts.hour) == 0 || !in.take(':') || in.digits(2, parts.minute) != 2)
        return false;
    return !in.take(':') || in.digits(2, parts.second) == 2;
}

// A zone that is not known, or none, leaves the date in local time.
void readZone(DateText& in, DateParts& parts)
{
    in.blanks();
    const bool east = in.take('+');
    if (east || in.take('-')) {
        int value = 0, minutes = 0;
        const int count = in.digits(4, value);
        if (count == 4)
            minutes = value / 100 * 60 + value % 100;
        else if (count == 2 && in.take(':') && in.digits(2, minutes) == 2)
            minutes += value * 60;
        else
            return;
        parts.zoned = true;
        parts.offset = (east ? 60 : -60) * minutes;
        return;
    }
    const std::string name = in.word();
    for (const Zone& zone : kZones)
        if (name == zone.name) {
            parts.zoned = true;
            parts.offset = zone.hours * 3600;
        }
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (month 1 to 12).
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Fields out of their range (day 32, hour 25) carry over as the CRT's do.
int64_t utcInstant(const DateParts& parts)
{
    const int64_t seconds = daysFromCivil(parts.year, parts.month + 1, parts.day) * 86400 + parts.hour * 3600 +
                            parts.minute * 60 + parts.second - parts.offset;
    return seconds < 0 || seconds > kLastSecond ? -1 : seconds;
}

int64_t localInstant(const DateParts& parts)
{
    tm broken{}; // daylight saving off: standard time
    broken.tm_mday = parts.day;
    broken.tm_mon = parts.month;
    broken.tm_year = parts.year - 1900;
    broken.tm_hour = parts.hour;
    broken.tm_min = parts.minute;
    broken.tm_sec = parts.second;
    return _mktime64(&broken);
}

} // namespace

int64_t parseFeedDate(const std::string& text)
{
    DateText in(text);
    DateParts parts;
    if (!readCalendarDate(in, parts) || !readClock(in, parts))
        return 0;
    readZone(in, parts);
    return parts.zoned ? utcInstant(parts) : localInstant(parts);
}
