#include <cstdlib>
#include <ctime>

#include "rss/FeedReader.h"

namespace {

// 0 to 11 for the exact English abbreviation at column 8, -1 for anything else.
int monthAt(const std::string& text)
{
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 0; month < 12; ++month)
        if (text.compare(8, 3, names[month]) == 0)
            return month;
    return -1;
}

int numberAt(const std::string& text, size_t column, size_t width)
{
    return atoi(text.substr(column, width).c_str());
}

} // namespace

// Fixed columns of "Wed, 02 Oct 2002 13:00:00 GMT", read as local standard time.
int64_t parseFeedDate(const std::string& text)
{
    if (text.size() < 26 || text.find(", ") == std::string::npos)
        return 0;
    tm broken{};
    broken.tm_mday = numberAt(text, 5, 2);
    broken.tm_mon = monthAt(text);
    if (broken.tm_mon < 0)
        return 0;
    broken.tm_year = numberAt(text, 12, 4) - 1900;
    broken.tm_hour = numberAt(text, 17, 2);
    broken.tm_min = numberAt(text, 20, 2);
    broken.tm_sec = numberAt(text, 23, 2);
    return _mktime64(&broken);
}
