// How often each address is asked: the hints of its server's answer and of
// its feed, the hour's cap, failures, silent refreshes, and the user's Apply
// asking all at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EventBytes.h"
#include "LoopbackServer.h"
#include "PluginUnderTest.h"
#include "TestTime.h"
#include "engine/NextAsk.h"
#include "host/HostProtocol.h"
#include "ui/OptionsPage.h"

namespace {

using Minutes = std::vector<int>;

std::string feedAnswer(const std::string& headers, const std::string& channelExtra = "")
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n" + headers +
           "\r\n<rss version='2.0' xmlns:sy='http://purl.org/rss/1.0/modules/syndication/'><channel>"
           "<title>T</title>" + channelExtra + "<item><title>I</title><guid>i</guid></item></channel></rss>";
}

// Asked at every refresh from `from` to `to`.
Minutes every(int step, int from = 0, int to = 70)
{
    Minutes minutes;
    for (int minute = from; minute <= to; minute += step)
        minutes.push_back(minute);
    return minutes;
}

Minutes joined(Minutes first, const Minutes& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

class AskWhenDue : public PluginUnderTest {
protected:
    // The paths asked by one refresh at `minute`, in order.
    std::vector<std::string> refreshAt(int minute, int32_t code = kNotifyingRefresh)
    {
        now = kBase + minute * 60;
        const size_t before = server.requests().size();
        EXPECT_TRUE(runRefresh(code));
        std::vector<std::string> asked;
        const auto requests = server.requests();
        for (size_t i = before; i < requests.size(); ++i)
            asked.push_back(requests[i].substr(4, requests[i].find(' ', 4) - 4));
        std::sort(asked.begin(), asked.end());
        return asked;
    }
    // The user's Apply on the options page, as the host sends it.
    void apply()
    {
        for (const int32_t code : {kPageShow, kPageApply}) {
            EventBytes event = pageEvent(code, parent.handle(), {0, 0, 100, 100});
            OptionsPage::onEvent(event.address(), 0, static_cast<UiParts*>(&plugin));
        }
    }

    const int64_t kBase = utcSeconds(2025, 1, 10, 12, 0, 0);
    int64_t now = kBase;
    LoopbackServer server{addressOfThisTest("127.0.5", 110)};
};

// Each row's address, asked by refreshes five minutes apart: the minutes it was asked at.
TEST_F(AskWhenDue, EachAddressIsAskedWhenItsHintsSay)
{
    plugin.store.setClock([this] { return now; });
    const std::string expires20 = "Expires: Fri, 10 Jan 2025 12:20:00 GMT\r\nDate: Fri, 10 Jan 2025 12:00:00 GMT\r\n";
    // A 200 without hints, then 304s that carry one.
    server.serve("/hint-on-304", [](const std::string& request) {
        if (request.find("If-None-Match: \"v1\"") == std::string::npos)
            return rawResponse({feedAnswer("ETag: \"v1\"\r\n")});
        return rawResponse({"HTTP/1.0 304 Not Modified\r\nCache-Control: max-age=1200\r\n\r\n"});
    });
    auto answered = std::make_shared<std::atomic<bool>>(false); // a ttl of 30 minutes, then failures
    server.serve("/fails-later", [answered](const std::string&) {
        return answered->exchange(true) ? httpResponse("", "500 Oops")
                                        : rawResponse({feedAnswer("", "<ttl>30</ttl>")});
    });
    const struct {
        std::string path;
        std::string headers;
        std::string channelExtra;
        Minutes asked;
    } feeds[] = {
        {"/none", "", "", every(5)},
        {"/max-age", "Cache-Control: max-age=600\r\n", "", every(10)},
        {"/less-age", "Cache-Control: public, max-age=\"1500\"\r\nAge: 300\r\n", "", every(20)},
        {"/first-max-age", "Cache-Control: max-age=600\r\nCache-Control: max-age=1800\r\n", "", every(10)},
        {"/max-age-0", "Cache-Control: max-age=0\r\n", "", every(5)},
        {"/no-cache", "Cache-Control: max-age=900, no-cache\r\n", "", every(5)},
        {"/bad-max-age", "Cache-Control: max-age=soon\r\n" + expires20, "", every(5)},
        {"/expires", expires20, "", every(20)},
        {"/expires-0", "Expires: 0\r\n", "", every(5)},
        {"/ttl", "", "<ttl>30</ttl>", every(30)},
        {"/sy", "", "<sy:updatePeriod> Hourly </sy:updatePeriod><sy:updateFrequency>2</sy:updateFrequency>", every(30)},
        {"/sy-per-day", "", "<sy:updateFrequency>48</sy:updateFrequency>", every(30)},
        {"/sy-unknown", "", "<sy:updatePeriod>fortnightly</sy:updatePeriod>", every(5)},
        {"/longest", "Cache-Control: max-age=600\r\n", "<ttl>20</ttl><sy:updatePeriod>hourly</sy:updatePeriod>"
         "<sy:updateFrequency>4</sy:updateFrequency>", every(20)},
        {"/capped", "Cache-Control: max-age=86400\r\n", "<ttl>1440</ttl>", every(60)},
        {"/no-store", "Cache-Control: no-store\r\n", "<ttl>20</ttl>", every(20)},
        {"/hint-on-304", "", "", joined({0}, every(20, 5))},
        {"/fails-later", "", "", joined({0}, every(5, 30))},
    };
    std::wstring list;
    std::map<std::string, Minutes> asked;
    for (const auto& feed : feeds) {
        if (feed.path != "/hint-on-304" && feed.path != "/fails-later")
            server.serve(feed.path, rawResponse({feedAnswer(feed.headers, feed.channelExtra)}));
        list += (list.empty() ? L"" : L"\r\n") + server.url(feed.path);
        asked[feed.path];
    }
    host.setValue(kFeedsKey, list);
    for (int minute = 0; minute <= 70; minute += 5)
        for (const std::string& path : refreshAt(minute))
            asked[path].push_back(minute);
    for (const auto& feed : feeds)
        EXPECT_EQ(asked[feed.path], feed.asked) << feed.path;
    EXPECT_EQ(channelTitles().size(), std::size(feeds) - 1) << "each address shown, asked or not, but the failing";

    // Apply asks every address once, whatever is due; then each its own pace.
    apply();
    EXPECT_EQ(refreshAt(75).size(), std::size(feeds));
    const std::vector<std::string> everyTime = {"/bad-max-age", "/expires-0", "/fails-later", "/max-age-0",
                                                "/no-cache", "/none", "/sy-unknown"};
    EXPECT_EQ(refreshAt(80), everyTime);
    // What a silent refresh read and could not announce is asked for again
    // by the next notifying one, due or not.
    std::vector<std::string> silentReads = everyTime;
    silentReads.insert(silentReads.begin() + 3, {"/first-max-age", "/max-age"});
    EXPECT_EQ(refreshAt(85, kSilentRefresh), silentReads);
    EXPECT_EQ(refreshAt(90), silentReads);
    EXPECT_TRUE(isDue(now + 3601, now)) << "a due time beyond any hint: the clock was set back";
}

} // namespace
