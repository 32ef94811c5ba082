// Through the real DLL: a feed moved for good is asked where it went, across
// refreshes and a restart of the library, until the new address is gone; a
// temporary redirect is followed every time; an hour's max-age is not asked
// again but stays shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "FeedDocuments.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "ScratchFolder.h"
#include "TestTime.h"
#include "devhost/FeedList.h"

namespace {

using Lines = std::vector<std::wstring>;
using Asks = std::vector<std::string>;

ScriptedResponse answer(const std::string& status, const std::string& headers, const std::string& body = "")
{
    return rawResponse({"HTTP/1.0 " + status + "\r\nContent-Type: text/xml\r\n" + headers + "\r\n" + body});
}

// "a /feed" for each request server `a` read since `from`, sorted: the
// fetches run in parallel. A conditional request is marked "?".
void collect(const LoopbackServer& server, const char* name, size_t from, Asks& asks)
{
    const auto requests = server.requests();
    for (size_t i = from; i < requests.size(); ++i) {
        const std::string& request = requests[i];
        const bool conditional = request.find("If-None-Match:") != std::string::npos;
        asks.push_back(std::string(name) + " " + request.substr(4, request.find(' ', 4) - 4) + (conditional ? "?" : ""));
    }
    std::sort(asks.begin(), asks.end());
}

TEST(MovedFeed, PermanentMovesAreRememberedUntilTheirTargetIsGone)
{
    useUtc();
    LoopbackServer old("127.0.7.70");
    LoopbackServer fresh("127.0.7.71");
    const std::string feed = rssDocument("Moved", {});
    old.serve("/feed", answer("301 Moved Permanently", "Location: " + std::string("http://127.0.7.71/feed\r\n")));
    old.serve("/temp", answer("302 Found", "Location: http://127.0.7.71/temp\r\n"));
    ScriptedResponse tagged = answer("200 OK", "ETag: \"m\"\r\n", feed);
    tagged.notModifiedIf = "If-None-Match: \"m\"";
    fresh.serve("/feed", tagged);
    fresh.serve("/temp", answer("200 OK", "", rssDocument("Temp", {})));
    fresh.serve("/hourly", answer("200 OK", "Cache-Control: max-age=3600\r\n", rssDocument("Hourly", {})));
    const Lines list = {old.url("/feed"), old.url("/temp"), fresh.url("/hourly")};
    const Lines moved = {L"log Feed moved: " + list[0] + L" -> " + fresh.url("/feed") +
                         L" (the list still holds the old address)"};

    ScratchFolder scratch;
    auto plugin = std::make_unique<HostedPlugin>(scratch.path(L"quillFeed.cfg"));
    std::wstring error;
    ASSERT_TRUE(plugin->host.storeFeedList(FeedList::join(list), error)) << error;
    const struct {
        const char* name;
        bool restart;
        bool targetGone;
        Asks asked;
        Lines told;
    } steps[] = {
        {"the move followed and logged", true, false,
         {"new /feed", "new /hourly", "new /temp", "old /feed", "old /temp"}, moved},
        {"the new address asked directly, conditionally; the hour not over", false, false,
         {"new /feed?", "new /temp", "old /temp"}, {}},
        {"a restart remembers the move; the hourly feed has nothing to show", true, false,
         {"new /feed", "new /hourly", "new /temp", "old /temp"}, {}},
        {"the new address gone: the old one asked again, no warning", false, true,
         {"new /feed?", "new /temp", "old /feed", "old /temp"}, {}},
        {"the old address from now on", false, true, {"new /temp", "old /feed", "old /temp"}, {}},
    };
    for (const auto& step : steps) {
        if (step.restart) {
            plugin.reset(); // one host per process: the library is freed first
            plugin = std::make_unique<HostedPlugin>(scratch.path(L"quillFeed.cfg"));
            ASSERT_TRUE(plugin->load()) << step.name;
        }
        if (step.targetGone) {
            fresh.serve("/feed", answer("410 Gone", ""));
            old.serve("/feed", answer("200 OK", "", feed));
        }
        const size_t oldFrom = old.requests().size();
        const size_t freshFrom = fresh.requests().size();
        const size_t mark = plugin->host.events().size();
        ASSERT_TRUE(plugin->refresh()) << step.name;
        Asks asked;
        collect(old, "old", oldFrom, asked);
        collect(fresh, "new", freshFrom, asked);
        EXPECT_EQ(asked, step.asked) << step.name;
        EXPECT_EQ(toldSince(*plugin, mark), step.told) << step.name;
        const Lines tree = outlineOf(plugin->host.panels());
        EXPECT_EQ(std::count_if(tree.begin(), tree.end(), [](const std::wstring& line) { return line[0] != L' '; }), 3)
            << step.name << ": every address shown";
    }
}

} // namespace
