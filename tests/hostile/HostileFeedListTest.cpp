// A feed list of 10 000 lines: far more than the settings read's first buffer.
// Every line is checked once, in list order, within one refresh.
#include <algorithm>

#include "HostileRefresh.h"
#include "LoopbackServer.h"

namespace {

constexpr size_t kLines = 10000;
constexpr size_t kFeeds = 50; // one good address and one missing one in every 200 lines

enum class Line { Feed, Missing, Empty, NoPath };

Line kindOf(size_t line)
{
    if (line % 200 == 7)
        return Line::Feed;
    if (line % 200 == 107)
        return Line::Missing;
    return line % 3 == 0 ? Line::Empty : Line::NoPath;
}

struct Expectation {
    std::wstring list;
    std::vector<std::wstring> announcements;
    std::vector<std::wstring> channels;
    std::vector<std::string> requestLines;
};

Expectation feedList(LoopbackServer& server)
{
    Expectation expected;
    for (size_t line = 0; line < kLines; ++line) {
        const std::string number = std::to_string(line / 200);
        std::wstring address;
        switch (kindOf(line)) {
        case Line::Feed:
            address = server.url("/feed" + number);
            server.serve("/feed" + number, feedDocument("Feed " + number, {{"Item " + number, "g" + number, "", ""}}));
            expected.announcements.push_back(notifyLine(L"Item " + wide(number)));
            expected.announcements.push_back(newsLine(L"g" + wide(number)));
            expected.channels.push_back(L"Feed " + wide(number));
            expected.requestLines.push_back("GET /feed" + number + " HTTP/1.1");
            break;
        case Line::Missing:
            address = server.url("/missing" + number);
            expected.announcements.push_back(
                errorLine(L"RSS", address, L"HTTP response code diffrent than 200 received"));
            expected.requestLines.push_back("GET /missing" + number + " HTTP/1.1");
            break;
        case Line::Empty:
            break; // ends its check without a word
        case Line::NoPath:
            address = L"line " + std::to_wstring(line) + L" without an address"; // likewise
            break;
        }
        expected.list += (line == 0 ? L"" : L"\r\n") + address;
    }
    return expected;
}

std::vector<std::string> requestLines(const LoopbackServer& server)
{
    std::vector<std::string> lines;
    for (const std::string& request : server.requests())
        if (request.rfind("GET /warm-up ", 0) != 0)
            lines.push_back(request.substr(0, request.find("\r\n")));
    return lines;
}

TEST_F(HostileRefresh, FeedListOfTenThousandLinesIsCheckedInOrder)
{
    useLimits(5000, 20000, 1u << 20);
    LoopbackServer server("127.0.8.5");
    takeBaseline(server);
    const Expectation expected = feedList(server);
    ASSERT_GT(expected.list.size(), 4u * 4096) << "the list must outgrow the first read buffer several times";

    const RefreshOutcome outcome = refresh(expected.list, std::chrono::seconds(90));
    EXPECT_EQ(outcome, (RefreshOutcome{expected.announcements, expected.channels, true}));
    // Fetched several at a time, so asked in any order; every address once.
    std::vector<std::string> asked = requestLines(server), wanted = expected.requestLines;
    std::sort(asked.begin(), asked.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(asked, wanted);
    size_t lastSeen = 0;
    for (const auto& entry : plugin.store.feeds)
        lastSeen += entry.first.rfind(server.url("/feed"), 0) == 0;
    EXPECT_EQ(lastSeen, kFeeds) << "one record per good address, none for the silent ones";
    EXPECT_EQ(host.callsTo(L"WTW/Settings/Read").size(), 1u);
}

} // namespace
