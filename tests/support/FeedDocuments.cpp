#include "FeedDocuments.h"

#include <cstdio>

std::string rfc822(int64_t seconds)
{
    static const char* const weekdays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int64_t days = seconds / 86400;
    const int64_t rest = seconds % 86400;
    // Civil date from days (the inverse of utcSeconds).
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    char text[64];
    snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", weekdays[days % 7], day, months[month - 1], year,
             static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

std::string rssDocument(const std::string& channelTitle, const std::vector<FeedItem>& items)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<rss version=\"2.0\"><channel><title>" +
                       channelTitle + "</title><link>http://example.org/</link>";
    for (const FeedItem& item : items) {
        text += "<item><title>" + item.title + "</title><link>" + item.link + "</link>";
        if (!item.guid.empty())
            text += "<guid>" + item.guid + "</guid>";
        if (item.pubDate != 0)
            text += "<pubDate>" + rfc822(item.pubDate) + "</pubDate>";
        if (!item.description.empty())
            text += "<description>" + item.description + "</description>";
        text += "</item>";
    }
    return text + "</channel></rss>";
}
