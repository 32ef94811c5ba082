#include "BenchFeeds.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr __time64_t kNewestItem = 1709632800; // 2024-03-05 10:00:00 UTC

std::string rfc822(__time64_t seconds)
{
    tm parts{};
    _gmtime64_s(&parts, &seconds);
    char text[40];
    strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

std::string description(size_t bytes)
{
    static const std::string sentence = "Zażółć gęślą jaźń &amp; the &lt;b&gt;market&lt;/b&gt; moved again today, "
                                        "said the agency&#8217;s report. ";
    std::string text;
    while (text.size() < bytes)
        text += sentence;
    return text;
}

std::string channelHead(size_t feed)
{
    const std::string number = std::to_string(feed);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<rss version=\"2.0\" xmlns:atom=\"http://www.w3.org/2005/Atom\">\n<channel>\n"
           "\t<title>Bench feed " +
           number +
           "</title>\n"
           "\t<link>http://example.org/feeds/" +
           number +
           "</link>\n"
           "\t<description>Wiadomości &amp; news of feed " +
           number +
           "</description>\n"
           "\t<language>pl</language>\n\t<copyright>Example Media</copyright>\n"
           "\t<lastBuildDate>" +
           rfc822(kNewestItem) + "</lastBuildDate>\n\t<ttl>15</ttl>\n";
}

void appendItem(std::string& text, size_t feed, int64_t item, const std::string& body)
{
    const std::string id = std::to_string(feed) + "-" + std::to_string(item);
    text += "\t<item>\n\t\t<title>Headline " + id +
            ": ceny energii w górę, rynek czeka</title>\n"
            "\t\t<link>http://example.org/articles/" +
            id +
            "</link>\n"
            "\t\t<description>" +
            body +
            "</description>\n"
            "\t\t<author>desk@example.org (News desk)</author>\n"
            "\t\t<category domain=\"http://example.org/categories\">Gospodarka</category>\n"
            "\t\t<guid isPermaLink=\"false\">bench-" +
            id +
            "</guid>\n"
            "\t\t<pubDate>" +
            rfc822(kNewestItem - item * 60) + "</pubDate>\n\t</item>\n";
}

const char kChannelEnd[] = "</channel>\n</rss>\n";

} // namespace

std::string benchFeed(size_t feed, size_t items, size_t descriptionBytes, int64_t first)
{
    const std::string body = description(descriptionBytes);
    std::string text = channelHead(feed);
    for (int64_t i = first; i < first + static_cast<int64_t>(items); ++i)
        appendItem(text, feed, i, body);
    return text + kChannelEnd;
}

std::string benchFeedOfSize(size_t bytes, size_t descriptionBytes)
{
    const std::string body = description(descriptionBytes);
    std::string text;
    text.reserve(bytes + 2 * descriptionBytes + 4096); // no reallocation: no transient peak before the refresh
    text += channelHead(0);
    for (int64_t i = 0; text.size() + sizeof kChannelEnd < bytes; ++i)
        appendItem(text, 0, i, body);
    text += kChannelEnd;
    return text;
}
