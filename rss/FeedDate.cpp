#include "rss/FeedDate.h"

#include <ctime>

namespace {

const int64_t kLastSecond = 32535215999; // 3000-12-31 23:59:59 UTC, the end of the CRT's documented range

struct Zone {
    const char* name; // lower case
    int minutes;      // east of UTC
};

// RFC 822's zones and the names that real feeds write; IST is India's. The
// US names without S or D (ET, PT) are read as standard time.
const Zone kZones[] = {
    {"gmt", 0},     {"ut", 0},     {"utc", 0},    {"z", 0},      {"wet", 0},    {"west", 60},  {"bst", 60},
    {"cet", 60},    {"cest", 120}, {"met", 60},   {"mest", 120}, {"eet", 120},  {"eest", 180}, {"msk", 180},
    {"ist", 330},   {"hkt", 480},  {"sgt", 480},  {"awst", 480}, {"jst", 540},  {"kst", 540},  {"acst", 570},
    {"acdt", 630},  {"aest", 600}, {"aedt", 660}, {"nzst", 720}, {"nzdt", 780}, {"est", -300}, {"edt", -240},
    {"cst", -360},  {"cdt", -300}, {"mst", -420}, {"mdt", -360}, {"pst", -480}, {"pdt", -420}, {"akst", -540},
    {"akdt", -480}, {"hst", -600}, {"et", -300},  {"ct", -360},  {"mt", -420},  {"pt", -480},
};

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

    // Blanks with at most one comma among them, which feeds strew between
    // the fields of RFC 822 dates; false when there is neither.
    bool gap()
    {
        int count = blanks();
        count += take(',');
        return count + blanks() > 0;
    }

    bool atDigit() const { return p_ < end_ && isDigit(*p_); }
    bool atEnd() const { return p_ == end_; }

    void skipDigits()
    {
        while (atDigit())
            ++p_;
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

// A gap, or one '-' as in 02-Oct-2002.
bool separator(DateText& in)
{
    return in.take('-') || in.gap();
}

// day month year, as RFC 822 (02 Oct 2002) and RFC 850 (02-Oct-02) write it.
bool readDayMonthYear(DateText& in, DateParts& parts)
{
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

// hh:mm with optional :ss and a fraction of a second, which is dropped.
bool readTime(DateText& in, DateParts& parts)
{
    if (in.digits(2, parts.hour) == 0 || !in.take(':') || in.digits(2, parts.minute) != 2)
        return false;
    if (!in.take(':'))
        return true;
    if (in.digits(2, parts.second) != 2)
        return false;
    if (in.take('.') || in.take(','))
        in.skipDigits();
    return true;
}

// +hhmm, +hmm, +hh:mm or +hh (either sign); false when none is there.
bool readOffset(DateText& in, int& minutes)
{
    const bool east = in.take('+');
    if (!east && !in.take('-'))
        return false;
    int value = 0, extra = 0;
    const int count = in.digits(4, value);
    if (count >= 3)
        minutes = value / 100 * 60 + value % 100;
    else if (count > 0 && (!in.take(':') || in.digits(2, extra) == 2))
        minutes = value * 60 + extra;
    else
        return false;
    minutes = east ? minutes : -minutes;
    return true;
}

// A named zone, an offset, or a name and an offset (GMT+0200). A zone that
// is not known, or none, leaves the date in local time.
void readZone(DateText& in, DateParts& parts)
{
    in.blanks();
    const std::string name = in.word();
    int minutes = 0;
    bool known = name.empty();
    for (const Zone& zone : kZones)
        if (name == zone.name) {
            known = true;
            minutes = zone.minutes;
        }
    if (!known)
        return;
    int offset = 0;
    const bool hasOffset = readOffset(in, offset);
    if (name.empty() && !hasOffset)
        return;
    parts.zoned = true;
    parts.offset = (minutes + offset) * 60;
}

// The clock after the date, or else midnight: the date must then end, or end
// in a known zone, so that a clock written wrong (1300, 13:0) does not pass
// for midnight. spaced: whether a gap came before.
bool readClockOrMidnight(DateText& in, DateParts& parts, bool spaced)
{
    const DateText afterGap = in;
    if (spaced && readTime(in, parts))
        return true;
    in = afterGap;
    parts.hour = parts.minute = parts.second = 0;
    if (in.atEnd())
        return true;
    readZone(in, parts);
    in.blanks();
    return spaced && parts.zoned && in.atEnd();
}

// [weekday[,]] day month year [clock] [zone]: RFC 822/1123 and RFC 850.
bool readDayFirst(DateText& in, DateParts& parts)
{
    if (!readDayMonthYear(in, parts))
        return false;
    const bool spaced = in.gap();
    if (!readClockOrMidnight(in, parts, spaced))
        return false;
    in.gap(); // a stray comma before the zone
    return true;
}

// month day, then year and clock in either order: asctime (Sun Nov  6
// 08:49:37 1994), date(1) (… 08:49:37 UTC 1994) and JavaScript's
// Date.toString (Sat Oct 06 2018 00:00:00 GMT+0000 (UTC)); or the year
// alone, as Date.toDateString writes (Sat Oct 06 2018).
bool readMonthFirst(DateText& in, DateParts& parts)
{
    if (in.blanks() == 0 || in.digits(2, parts.day) == 0 || in.blanks() == 0)
        return false;
    const DateText beforeYear = in;
    if (in.digits(4, parts.year) == 4) {
        const bool spaced = in.blanks() > 0;
        return readClockOrMidnight(in, parts, spaced);
    }
    in = beforeYear;
    if (!readTime(in, parts))
        return false;
    DateParts zone;
    readZone(in, zone);
    in.blanks();
    if (in.digits(4, parts.year) != 4)
        return false;
    parts.zoned = zone.zoned;
    parts.offset = zone.offset;
    return true;
}

bool readTextualDate(DateText& in, DateParts& parts)
{
    in.blanks();
    std::string word = in.word();
    if (!word.empty() && monthNamed(word) < 0) {
        // a weekday, not checked against the date
        if (!in.gap())
            return false;
        word = in.word();
    }
    if (word.empty())
        return readDayFirst(in, parts);
    parts.month = monthNamed(word);
    return parts.month >= 0 && readMonthFirst(in, parts);
}

// Only blanks left.
bool endsHere(DateText& in)
{
    in.blanks();
    return in.atEnd();
}

// ISO 8601 / RFC 3339: yyyy-mm-dd, then optionally T (or a blank) and the
// time. W3C-DTF's yyyy and yyyy-mm stand for their first day and take nothing after.
bool readIsoDate(DateText& in, DateParts& parts)
{
    int month = 1;
    parts.day = 1;
    if (in.digits(4, parts.year) != 4)
        return false;
    if (!in.take('-'))
        return endsHere(in);
    if (in.digits(2, month) != 2 || month < 1 || month > 12)
        return false;
    parts.month = month - 1;
    if (!in.take('-'))
        return endsHere(in);
    if (in.digits(2, parts.day) != 2 || parts.day < 1 || parts.day > 31)
        return false;
    if (in.atEnd())
        return true;
    if (!in.take('T') && !in.take('t') && in.blanks() == 0)
        return false;
    in.blanks();
    return in.atEnd() || readTime(in, parts);
}

// Four digits first: no other form begins so.
bool startsIso(const std::string& text)
{
    size_t p = text.find_first_not_of(' ');
    if (p == std::string::npos || text.size() - p < 4)
        return false;
    for (size_t i = p; i < p + 4; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
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
    const bool iso = startsIso(text);
    if (iso)
        in.blanks();
    if (!(iso ? readIsoDate(in, parts) : readTextualDate(in, parts)))
        return 0;
    if (!parts.zoned)
        readZone(in, parts);
    return parts.zoned ? utcInstant(parts) : localInstant(parts);
}
