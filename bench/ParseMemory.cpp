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
#include <vector>

#include "AllocationCounter.h"
#include "FeedGenerator.h"
#include "HostileBodies.h"
#include "base/RSSException.h"
#include "rss/ChannelReader.h"

namespace {

constexpr double kTargetRatio = 4.0; // peak over body, for 32 MiB bodies

std::vector<HostileShape> shapesAndARealFeed()
{
    std::vector<HostileShape> shapes = hostileShapes();
    shapes.push_back({"generated feed", makeRssDocument});
    return shapes;
}

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
    for (const HostileShape& shape : shapesAndARealFeed()) {
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
