// A day of refreshes five minutes apart, on the linked plug-in with its clock
// moved on instead of waited for, over a list with a realistic mix of hints:
// half the feeds say hourly (sy:updatePeriod, as WordPress does), a quarter
// say nothing, a quarter send a max-age of 10 to 30 minutes. Each feed gains
// an item every two hours (staggered) and answers 304 to its current ETag.
// Prints the requests and bytes the servers saw, against the same day asked
// as before: every address at every refresh (conditionally).
// QF_DAY_FEEDS (default 8) and QF_DAY_REFRESHES (default 24) set its size;
// scripts/bench-refresh runs 50 and 288, the suite a smoke run of the defaults.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FeedDocuments.h"
#include "LoopbackServer.h"
#include "PluginUnderTest.h"
#include "TestTime.h"
#include "host/HostProtocol.h"

namespace {

constexpr int64_t kRefreshSeconds = 300;
constexpr int64_t kItemEverySeconds = 2 * 3600;
constexpr int kItemsShown = 20;

int setting(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value != nullptr && atoi(value) > 0 ? atoi(value) : fallback;
}

// What feed `index` says of how often to ask it.
std::string hintHeaders(int index)
{
    return index % 4 == 3 ? "Cache-Control: max-age=" + std::to_string(600 + index * 97 % 1201) + "\r\n" : "";
}
std::string hintElements(int index)
{
    return index % 4 < 2 ? "<sy:updatePeriod>hourly</sy:updatePeriod><sy:updateFrequency>1</sy:updateFrequency>"
                         : "";
}

std::string feedBody(int index, int64_t version, int64_t start)
{
    std::string items;
    for (int64_t n = version; n > version - kItemsShown; --n) {
        const std::string id = "http://feed" + std::to_string(index) + ".example/item/" + std::to_string(n);
        items += "<item><title>Story " + std::to_string(n) + "</title><link>" + id + "</link><guid>" + id +
                 "</guid><pubDate>" + rfc822(start + n * kItemEverySeconds) + "</pubDate><description>" +
                 std::string(400, 'x') + "</description></item>";
    }
    return "<rss version='2.0' xmlns:sy='http://purl.org/rss/1.0/modules/syndication/'><channel><title>Feed " +
           std::to_string(index) + "</title>" + hintElements(index) + items + "</channel></rss>";
}

class SimulatedDay : public PluginUnderTest {
protected:
    struct Totals {
        size_t requests = 0;
        size_t bytes = 0;
    };

    // One day over the feeds of `server`; every address asked each time when `everyAddress`.
    Totals live(LoopbackServer& server, bool everyAddress)
    {
        const int feeds = setting("QF_DAY_FEEDS", 8);
        const int refreshes = setting("QF_DAY_REFRESHES", 24);
        const int64_t start = utcSeconds(2025, 3, 3, 0, 0, 0);
        auto now = std::make_shared<std::atomic<int64_t>>(start);
        plugin.store.setClock([now] { return now->load(); });
        std::wstring list;
        for (int index = 0; index < feeds; ++index) {
            server.serve("/feed" + std::to_string(index), [index, now, start](const std::string& request) {
                // Staggered: feed i gains its items i minutes past each second hour.
                const int64_t version = (now->load() - start - index * 60 + kItemEverySeconds * 100) / kItemEverySeconds;
                const std::string etag = "\"" + std::to_string(version) + "\"";
                if (request.find("If-None-Match: " + etag) != std::string::npos)
                    return rawResponse({"HTTP/1.1 304 Not Modified\r\nETag: " + etag + "\r\n" + hintHeaders(index) +
                                        "Connection: close\r\n\r\n"});
                const std::string body = feedBody(index, version, start);
                return rawResponse({"HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nETag: " + etag +
                                    "\r\n" + hintHeaders(index) + "Content-Length: " + std::to_string(body.size()) +
                                    "\r\nConnection: close\r\n\r\n" + body});
            });
            list += (list.empty() ? L"" : L"\r\n") + server.url("/feed" + std::to_string(index));
        }
        host.setValue(kFeedsKey, list);
        for (int refresh = 0; refresh < refreshes; ++refresh) {
            now->store(start + refresh * kRefreshSeconds);
            if (everyAddress)
                plugin.store.askEveryAddressNext();
            EXPECT_TRUE(runRefresh(kNotifyingRefresh)) << refresh;
            host.clearCalls(); // none runs now; a day of calls would slow every wait
        }
        return {server.requests().size(), server.bytesSent()};
    }
};

TEST_F(SimulatedDay, RequestsAndBytesAgainstAskingEveryTime)
{
    LoopbackServer hinted("127.0.8.230");
    LoopbackServer everyTime("127.0.8.231");
    const Totals paced = live(hinted, false);
    const Totals before = live(everyTime, true);
    printf("RESULT day_requests %zu (every refresh: %zu, %.2fx fewer)\n", paced.requests, before.requests,
           static_cast<double>(before.requests) / static_cast<double>(paced.requests));
    printf("RESULT day_bytes %zu (every refresh: %zu, %.2fx fewer)\n", paced.bytes, before.bytes,
           static_cast<double>(before.bytes) / static_cast<double>(paced.bytes));
    EXPECT_EQ(before.requests, static_cast<size_t>(setting("QF_DAY_FEEDS", 8) * setting("QF_DAY_REFRESHES", 24)));
    EXPECT_LT(paced.requests, before.requests);
}

} // namespace
