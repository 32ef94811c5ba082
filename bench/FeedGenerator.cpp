#include "FeedGenerator.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace {

const char* const kWords[] = {
    "miasto",     "rada",
    "budżet",     "drogi",
    "szkoła",     "rzeka",
    "most",       "pociąg",
    "Wrocław",    "Jelenia",
    "Góra",       "wiosna",
    "koncert",    "biblioteka",
    "mieszkańcy", "inwestycja",
    "the",        "council",
    "approved",   "budget",
    "&amp;",      "&quot;new&quot;",
    "&lt;b&gt;",  "&lt;/b&gt;",
    "of",         "and",
    "w",          "na",
    "oraz",       "żółć",
    "łąka",       "2025",
};
const char* const kCategories[] = {"Kraj", "Świat", "Sport", "Kultura", "Nauka", "Gospodarka"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

class Writer {
public:
    explicit Writer(uint32_t seed) : random_(seed) {}

    size_t below(size_t n) { return random_() % n; }

    // Words up to about `bytes`, broken into indented lines of ~80 bytes.
    void prose(std::string& out, size_t bytes, const char* indent)
    {
        size_t lineStart = out.size();
        const size_t start = out.size();
        while (out.size() - start < bytes) {
            out += kWords[below(sizeof kWords / sizeof *kWords)];
            if (out.size() - lineStart > 80) {
                out += '\n';
                out += indent;
                lineStart = out.size();
            } else {
                out += ' ';
            }
        }
    }

    std::string date()
    {
        char text[64];
        std::snprintf(text, sizeof text, "%s, %02zu %s 20%02zu %02zu:%02zu:%02zu +0100", kDays[below(7)], 1 + below(28),
                      kMonths[below(12)], 10 + below(16), below(24), below(60), below(60));
        return text;
    }

private:
    std::mt19937 random_;
};

void appendItem(std::string& out, Writer& w, size_t n)
{
    const std::string id = std::to_string(n);
    out += "\t\t<item>\n\t\t\t<title>";
    w.prose(out, 30 + w.below(50), "");
    out += "</title>\n\t\t\t<link>http://news.example/2025/03/item-" + id + "?ref=rss&amp;src=feed</link>\n";
    out += "\t\t\t<description>";
    w.prose(out, 300 + w.below(2500), "\t\t\t\t");
    out += "</description>\n\t\t\t<pubDate>" + w.date() + "</pubDate>\n";
    out += "\t\t\t<guid isPermaLink=\"false\">news.example-" + id + "</guid>\n";
    out += "\t\t\t<category domain=\"http://news.example/categories\">";
    out += kCategories[w.below(6)];
    out += "</category>\n\t\t\t<enclosure url=\"http://news.example/media/" + id + ".mp3\" length=\"" +
           std::to_string(100000 + w.below(900000)) + "\" type=\"audio/mpeg\"/>\n";
    out += "\t\t\t<dc:creator>Jan Kowalski</dc:creator>\n\t\t</item>\n";
}

} // namespace

std::string makeRssDocument(size_t approximateBytes)
{
    Writer w(20250312);
    std::string out;
    out.reserve(approximateBytes + 4096);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "\t<channel>\n"
           "\t\t<title>Wiadomości z Doliny Bobru &amp; okolic</title>\n"
           "\t\t<link>http://news.example/</link>\n"
           "\t\t<description>Codzienne wiadomości z Jeleniej Góry i okolic</description>\n"
           "\t\t<language>pl</language>\n"
           "\t\t<copyright>Redakcja &quot;Doliny&quot;</copyright>\n"
           "\t\t<lastBuildDate>Wed, 12 Mar 2025 09:45:00 +0100</lastBuildDate>\n"
           "\t\t<ttl>30</ttl>\n"
           "\t\t<image>\n\t\t\t<url>http://news.example/logo.png</url>\n\t\t\t<title>Dolina</title>\n"
           "\t\t\t<link>http://news.example/</link>\n\t\t</image>\n";
    const char* const closing = "\t</channel>\n</rss>\n";
    for (size_t n = 1; out.size() + 20 < approximateBytes; ++n)
        appendItem(out, w, n);
    out += closing;
    return out;
}
