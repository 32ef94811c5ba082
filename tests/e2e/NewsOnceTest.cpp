// The real DLL deciding what is news over successive refreshes of the same
// addresses, their documents changing in between: items new by date or by
// identity, each announced once, and a failing address warned of once per outage.
#include <gtest/gtest.h>

#include <memory>

#include "E2eSupport.h"
#include "FeedDocuments.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "UnloadWatch.h"
#include "TestPaths.h"
#include "TestTime.h"
#include "devhost/FeedList.h"

namespace {

using Lines = std::vector<std::wstring>;

const int64_t kBase = utcSeconds(2026, 3, 2, 9, 0, 0);

// Items named by one word: link and guid follow the name.
FeedItem undated(const std::string& name)
{
    return {name, "http://x/" + name, "g-" + name};
}

FeedItem dated(const std::string& name, int64_t date)
{
    return {name, "http://x/" + name, "g-" + name, date};
}

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// What the host is told of an item: its notification, then its news entry.
Lines announced(const std::vector<FeedItem>& items)
{
    Lines lines;
    for (const FeedItem& item : items) {
        lines.push_back(L"notify " + wide(item.title));
        lines.push_back(L"news " + wide(item.guid.empty() ? item.link : item.guid) + L" " +
                        std::to_wstring(item.pubDate));
    }
    return lines;
}

// One refresh of the address: the document served, what it should announce.
struct Step {
    const char* name;
    std::vector<FeedItem> served;
    std::vector<FeedItem> news;
    bool notify = true;
};

class NewsOnce : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useUtc(); }

    // The feed list: these paths of the server, in order.
    void start(const char* address, const std::vector<std::string>& paths)
    {
        server = std::make_unique<LoopbackServer>(address);
        std::vector<std::wstring> list;
        for (const std::string& path : paths)
            list.push_back(server->url(path));
        std::wstring error;
        ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join(list), error)) << error;
        ASSERT_TRUE(plugin.load());
    }

    // What the host was told during one refresh (toldSince's lines).
    Lines refresh(bool notify = true)
    {
        const size_t mark = plugin.host.events().size();
        EXPECT_TRUE(plugin.refresh(notify));
        return toldSince(plugin, mark);
    }

    void run(const std::string& path, const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            server->serve(path, rssDocument("Feed", step.served));
            EXPECT_EQ(refresh(step.notify), announced(step.news)) << step.name;
        }
    }

    ScratchFolder scratch;
    HostedPlugin plugin{scratch.path(L"quillFeed.cfg")};
    std::unique_ptr<LoopbackServer> server;
};

TEST_F(NewsOnce, UndatedItemsAreNewByIdentity)
{
    start("127.0.7.40", {"/feed"});
    const FeedItem a = undated("A"), b = undated("B"), c = undated("C"), top = undated("Top"), mid = undated("Mid");
    const FeedItem relinked{"Relinked", "http://x/relinked", ""};
    const FeedItem titleOnly{"Title only", "", ""};
    const FeedItem descriptionOnly{"", "", "", 0, "Description only"};
    const FeedItem twice = undated("Twice");
    run("/feed",
        {
            {"first check: nothing to compare with", {a, b, c}, {}},
            {"unchanged", {a, b, c}, {}},
            {"new at the top", {top, a, b, c}, {top}},
            {"new in the middle", {top, a, mid, b, c}, {mid}},
            {"rotated: nothing new", {c, mid, a, top, b}, {}},
            {"empty guid, new link", {relinked, c, mid, a, top, b}, {relinked}},
            {"title or description alone", {titleOnly, descriptionOnly, relinked, c}, {titleOnly, descriptionOnly}},
            {"repeated in one document: once", {twice, twice, titleOnly, descriptionOnly}, {twice}},
            {"all known", {descriptionOnly, titleOnly, twice}, {}},
            {"emptied for a moment", {}, {}},
            {"back: still known", {descriptionOnly, titleOnly, twice}, {}},
        });
}

TEST_F(NewsOnce, DatedItemsAreNewByDateOrByIdentity)
{
    start("127.0.7.41", {"/feed"});
    const FeedItem first = dated("First", kBase + 100), second = dated("Second", kBase + 200);
    const FeedItem backdated = dated("Backdated", kBase - 86400);
    const FeedItem edited = dated("First", kBase + 300); // same guid, its date moved forward
    run("/feed", {
                     {"first check: every dated item", {second, first}, {second, first}},
                     {"unchanged", {second, first}, {}},
                     {"backdated, new guid", {second, backdated, first}, {backdated}},
                     {"edited, date moved forward: seen is seen", {second, backdated, edited}, {}},
                     {"one dropped, nothing new", {second, edited}, {}},
                 });
}

TEST_F(NewsOnce, AddressListedTwiceAnnouncesEachItemOnce)
{
    start("127.0.7.42", {"/feed", "/feed"});
    const FeedItem a = undated("A"), top = undated("Top"), d = dated("D", kBase);
    run("/feed", {
                     {"first check", {d, a}, {d}},
                     {"new undated item", {top, d, a}, {top}},
                     {"unchanged", {top, d, a}, {}},
                 });
}

// Silence defers news, never swallows it: only an address never checked is
// learnt quietly; what appears later waits for the next notifying refresh.
TEST_F(NewsOnce, SilentRefreshDefersWhatIsNew)
{
    start("127.0.7.43", {"/feed"});
    const FeedItem a = undated("A"), b = undated("B"), c = undated("C"), d = undated("D");
    const FeedItem later = dated("Later", kBase);
    run("/feed", {
                     {"silent first check", {a, b}, {}, false},
                     {"silent, new item", {c, later, a, b}, {}, false},
                     {"notifying: everything the first check did not see", {d, c, later, a, b}, {d, c, later}},
                 });
}

// Unloaded and freed, the library reads what it saw back from the state file
// beside the configuration: the next check announces only what is new.
TEST_F(NewsOnce, MemorySurvivesTheLibrary)
{
    start("127.0.7.44", {"/feed"});
    const FeedItem a = undated("A"), n = undated("N"), m = undated("M"), k = undated("K");
    const FeedItem x = dated("X", kBase);
    run("/feed", {{"first check", {a, x}, {x}}, {"new undated item", {n, a, x}, {n}}});

    const UnloadWatch library(dllPath());
    plugin.unload();
    ASSERT_TRUE(library.waitUnmapped(std::chrono::seconds(10))) << "the library stayed mapped";
    ASSERT_TRUE(plugin.load());
    run("/feed", {{"silent first refresh after the reload", {m, n, a, x}, {}, false},
                  {"notifying: what appeared meanwhile", {m, n, a, x}, {m}},
                  {"new undated item", {k, m, n, a, x}, {k}}});
}

TEST_F(NewsOnce, FailingAddressIsWarnedOfOncePerOutage)
{
    start("127.0.7.45", {"/feed"});
    const std::wstring address = server->url("/feed");
    const std::wstring missing = L"RSS error - " + address + L" | HTTP response code diffrent than 200 received";
    const std::wstring broken =
        L"XML error - " + address + L" | Wrong nesting, expecting rss but found channel at position 19";
    const ScriptedResponse notFound = httpResponse("gone", "404 Not Found");
    const ScriptedResponse badMarkup = httpResponse("<rss><channel></rss>");
    const ScriptedResponse good = httpResponse(rssDocument("Feed", {undated("A")}));
    struct Outcome {
        const char* name;
        const ScriptedResponse& served;
        Lines told;
        bool notify = true;
    };
    const std::vector<Outcome> outcomes = {
        {"first check ever, silent", notFound, {L"warning " + missing}, false},
        {"same failure", notFound, {L"log Warning not repeated: " + missing}},
        {"same failure, silent", notFound, {L"log Warning not repeated: " + missing}, false},
        {"same failure again", notFound, {L"log Warning not repeated: " + missing}},
        {"fifth time", notFound, {L"log Warning not repeated: " + missing}},
        {"failure changes", badMarkup, {L"warning " + broken}},
        {"changed failure repeats", badMarkup, {L"log Warning not repeated: " + broken}},
        {"recovery", good, {}},
        {"failing again", notFound, {L"warning " + missing}},
        {"and again", notFound, {L"log Warning not repeated: " + missing}},
    };
    for (const Outcome& outcome : outcomes) {
        server->serve("/feed", outcome.served);
        EXPECT_EQ(refresh(outcome.notify), outcome.told) << outcome.name;
    }
}

} // namespace
