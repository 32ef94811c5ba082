// Peak heap use while a body is read into a channel, on the shapes a hostile
// server would send to make a small body build a large tree, and on a real
// feed's shape. Each body goes through readChannel as the plug-in reads one
// (readFeedBody hands the body on as it is); every byte allocated from the
// body's own copy on is counted, so the peak is body plus tree (then tree plus
// channel, once the body is released). wchar_t has 4 bytes here and 2 in the
// DLL, so the channel's share is twice what the plug-in needs.
// Usage: qf_parse_memory [mebibytes]     (default 32, the response cap; fractions allowed)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "AllocationCounter.h"
#include "FeedGenerator.h"
#include "base/RSSException.h"
#include "rss/ChannelReader.h"
#include "xml/XmlLimits.h"

namespace {

constexpr double kTargetRatio = 4.0; // peak over body, for 32 MiB bodies

// `head`, then `unit` as often as fits in `bytes` with `foot` after it.
std::string filled(std::string head, const std::string& unit, const std::string& foot, size_t bytes)
{
    head.reserve(bytes);
    while (head.size() + unit.size() + foot.size() <= bytes)
        head += unit;
    return head + foot;
}

std::string distinctAttributes()
{
    const std::string names = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-";
    std::string element = "<a";
    for (size_t i = 0; i < Xml::kMaxAttributesPerElement && i < names.size(); ++i)
        element += std::string(" ") + names[i] + "=''";
    return element + "/>";
}

// Elements with short texts up to the node limit, the rest multi-line texts
// just within theirs (gathered piece by piece, then copied to their size).
std::string elementsThenTexts(size_t bytes)
{
    const std::string element = "<a>" + std::string(16, 'x') + "</a>";
    std::string body = filled("<r>", element, "", std::min(bytes / 4, (Xml::kMaxNodes - 64) * element.size()));
    const std::string text = filled("", std::string(79, 'x') + "\n", "", std::min(Xml::kMaxTextBytes, bytes / 8));
    return filled(body, "<t>" + text + "</t>", "</r>", bytes);
}

const struct {
    const char* name;
    std::function<std::string(size_t)> make;
} kShapes[] = {
    {"empty elements", [](size_t n) { return filled("<r>", "<a/>", "</r>", n); }},
    {"unclosed nesting", [](size_t n) { return filled("", "<a>", "", n); }},
    {"empty items", [](size_t n) { return filled("<rss><channel>", "<item/>", "</channel></rss>", n); }},
    {"attributes", [](size_t n) { return filled("<r>", distinctAttributes(), "</r>", n); }},
    {"one long text", [](size_t n) { return filled("<r>", std::string(79, 'x') + "\n", "</r>", n); }},
    {"CDATA '&'", // each section just within the text limit, '&' kept as five bytes
     [](size_t n) {
         return filled("<r>", "<b><![CDATA[" + std::string(std::min(Xml::kMaxTextBytes / 5, n / 4), '&') + "]]></b>",
                       "</r>", n);
     }},
    {"field of texts",
     [](size_t n) {
         return filled("<rss><channel><title>", "<b>" + std::string(n / 32, 'x') + "</b>", "</title></channel></rss>",
                       n);
     }},
    {"elements, texts", elementsThenTexts},
    {"generated feed", makeRssDocument},
};

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end()); // the messages are ASCII
}

// Reads `body` counting from its own copy on; what became of it goes to `outcome`.
long long peakWhileReading(const std::string& body, std::string& outcome)
{
    counting::start();
    try {
        const Channel channel = readChannel(std::string(body), L"http://bench.example/feed.xml");
        outcome = "read, " + std::to_string(channel.items.size()) + " items";
    } catch (const RSS::XMLException& e) {
        outcome = narrow(e.message) + " at position " + std::to_string(e.position);
    }
    counting::stop();
    return counting::peak();
}

} // namespace

int main(int argc, char** argv)
{
    const double mebibytes = argc > 1 ? std::strtod(argv[1], nullptr) : 32;
    double largest = 0;
    std::printf("%-17s %10s %12s %7s  %s\n", "shape", "body", "peak", "ratio", "outcome");
    for (const auto& shape : kShapes) {
        const std::string body = shape.make(static_cast<size_t>(mebibytes * (1 << 20)));
        std::string outcome;
        const long long peak = peakWhileReading(body, outcome);
        const double ratio = static_cast<double>(peak) / static_cast<double>(body.size());
        largest = std::max(largest, ratio);
        std::printf("%-17s %10zu %12lld %6.2fx  %s\n", shape.name, body.size(), peak, ratio, outcome.c_str());
    }
    // The limits are in bytes and counts, not ratios: smaller bodies may cost more times their size.
    std::printf("largest peak: %.2fx the body (target at 32 MiB: at most %.1fx)\n", largest, kTargetRatio);
    return 0;
}
