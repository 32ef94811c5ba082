// parseFeedDate with the local zone at UTC. On the raw bytes: no crash or
// sanitizer report, and a result of 0, -1 or an instant from 1970 to the end
// of 3000. The same bytes then choose a date written in one of the forms
// feeds use (RFC 822: weekday or not, day of one or two digits, month name
// spelt out or not in any case, year of two or four digits, seconds or not,
// a zone or none; or ISO 8601 with or without seconds, fraction and zone),
// whose instant is worked out here from the civil calendar; the parser must
// give exactly that.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <string>

#include "FuzzCheck.h"
#include "rss/FeedDate.h"

namespace {

const int64_t kLastSecond = 32535215999; // 3000-12-31 23:59:59 UTC

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

struct Zone {
    const char* name;
    int offsetMinutes;
};
const Zone kZones[] = {{"GMT", 0},    {"UT", 0},     {"UTC", 0},    {"Z", 0},      {"EST", -300}, {"EDT", -240},
                       {"CST", -360}, {"CDT", -300}, {"MST", -420}, {"MDT", -360}, {"PST", -480}, {"PDT", -420},
                       {"CEST", 120}, {"JST", 540},  {"IST", 330},  {"NZDT", 780}, {"XYZ", 0},    {"", 0}};

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

std::string twoDigits(int value)
{
    return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

std::string inCase(std::string word, int choice)
{
    for (char& c : word)
        if (choice == 1 || (choice == 2 && &c != &word[0]))
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        else if (choice == 3)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return word;
}

std::string blanks(FuzzedDataProvider& bytes)
{
    return std::string(bytes.ConsumeIntegralInRange(1, 3), ' ');
}

int64_t instant(int year, int month, int day, int hour, int minute, int second, int offsetMinutes)
{
    const int64_t seconds =
        (daysToMonth(year, month) + day - 1) * 86400 + hour * 3600 + minute * 60 + second - offsetMinutes * 60;
    return seconds < 0 || seconds > kLastSecond ? -1 : seconds;
}

// yyyy-mm-ddThh:mm[:ss[.fraction]] with Z, an offset or no zone (local, here UTC).
std::string isoDate(FuzzedDataProvider& bytes, int64_t& expected)
{
    const int year = bytes.ConsumeIntegralInRange(1960, 3010);
    const int month = bytes.ConsumeIntegralInRange(1, 12);
    const int day = bytes.ConsumeIntegralInRange(1, 28);
    const int hour = bytes.ConsumeIntegralInRange(0, 23);
    const int minute = bytes.ConsumeIntegralInRange(0, 59);
    const int second = bytes.ConsumeBool() ? bytes.ConsumeIntegralInRange(0, 59) : -1;
    std::string text = std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day) +
                       (bytes.ConsumeBool() ? "T" : " ") + twoDigits(hour) + ":" + twoDigits(minute);
    if (second >= 0)
        text += ":" + twoDigits(second) +
                (bytes.ConsumeBool() ? "." + std::string(bytes.ConsumeIntegralInRange(1, 9), '7') : "");
    int offset = 0;
    const int zone = bytes.ConsumeIntegralInRange(0, 2);
    if (zone == 1) {
        text += "Z";
    } else if (zone == 2) {
        offset = bytes.ConsumeIntegralInRange(-14 * 60, 14 * 60);
        const int size = offset < 0 ? -offset : offset;
        text += std::string(offset < 0 ? "-" : "+") + twoDigits(size / 60) + ":" + twoDigits(size % 60);
    }
    expected = instant(year, month, day, hour, minute, second < 0 ? 0 : second, offset);
    return text;
}

// A date in a form feeds use, and the instant it stands for (-1 outside the range).
std::string writtenDate(FuzzedDataProvider& bytes, int64_t& expected)
{
    if (bytes.ConsumeBool())
        return isoDate(bytes, expected);
    std::string text;
    const int weekday = bytes.ConsumeIntegralInRange(0, 3);
    if (weekday > 0)
        text += (weekday == 3 ? std::string("Saturday") : std::string("Sat")) + (weekday == 1 ? "" : ",") + " ";
    const int day = bytes.ConsumeIntegralInRange(1, 31);
    text += day < 10 && bytes.ConsumeBool() ? std::to_string(day) : twoDigits(day);
    const bool hyphens = bytes.ConsumeBool();
    const int month = bytes.ConsumeIntegralInRange(0, 11);
    const std::string name = kMonths[month];
    text += (hyphens ? "-" : blanks(bytes)) +
            inCase(bytes.ConsumeBool() ? name : name.substr(0, 3), bytes.ConsumeIntegralInRange(0, 3));
    int year = bytes.ConsumeIntegralInRange(1960, 3010);
    const bool shortYear = bytes.ConsumeBool();
    if (shortYear)
        year = year % 100 + (year % 100 < 50 ? 2000 : 1900);
    text += (hyphens ? "-" : blanks(bytes)) + (shortYear ? twoDigits(year % 100) : std::to_string(year));
    const int hour = bytes.ConsumeIntegralInRange(0, 23);
    const int minute = bytes.ConsumeIntegralInRange(0, 59);
    const int second = bytes.ConsumeBool() ? bytes.ConsumeIntegralInRange(0, 59) : -1;
    text += blanks(bytes) + twoDigits(hour) + ":" + twoDigits(minute) + (second < 0 ? "" : ":" + twoDigits(second));
    int offset = 0;
    if (bytes.ConsumeBool()) {
        offset = bytes.ConsumeIntegralInRange(-14 * 60, 14 * 60);
        const int size = offset < 0 ? -offset : offset;
        text += std::string(" ") + (offset < 0 ? "-" : "+") + twoDigits(size / 60) + twoDigits(size % 60);
    } else {
        const Zone& zone = kZones[bytes.ConsumeIntegralInRange<size_t>(0, std::size(kZones) - 1)];
        text += std::string(*zone.name ? " " : "") + inCase(zone.name, bytes.ConsumeIntegralInRange(0, 3));
        offset = zone.offsetMinutes;
    }
    expected = (daysToMonth(year, month + 1) + day - 1) * 86400 + hour * 3600 + minute * 60 +
               (second < 0 ? 0 : second) - offset * 60;
    if (expected < 0 || expected > kLastSecond)
        expected = -1;
    return text;
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
    const int64_t raw = parseFeedDate(std::string(reinterpret_cast<const char*>(data), size));
    QF_FUZZ_CHECK(raw >= -1 && raw <= kLastSecond, "%lld for %zu raw bytes", static_cast<long long>(raw), size);

    FuzzedDataProvider bytes(data, size);
    int64_t expected = 0;
    const std::string text = writtenDate(bytes, expected);
    const int64_t found = parseFeedDate(text);
    QF_FUZZ_CHECK(found == expected, "\"%s\": %lld, expected %lld", text.c_str(), static_cast<long long>(found),
                  static_cast<long long>(expected));
    return 0;
}
