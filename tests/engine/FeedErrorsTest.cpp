// Failed checks: one warning notification with the exact title and text, for
// an address's first failure on notifying and silent refreshes alike; other
// failures stay silent.
#include <gtest/gtest.h>

#include <regex>

#include "CheckFeedFixture.h"
#include "EngineTestKit.h"
#include "LoopbackServer.h"
#include "engine/FeedCheck.h"
#include "engine/FeedStore.h"
#include "engine/RefreshTask.h"

namespace {

struct Failure {
    const char* name;
    std::wstring address;
    std::wstring title;
    std::wregex text;
};

using FeedErrors = CheckFeedFixture;

std::wstring quoted(const std::wstring& text)
{
    static const std::wregex special(L"[.^$|()\\[\\]{}*+?\\\\]");
    return std::regex_replace(text, special, L"\\$&");
}

TEST_F(FeedErrors, EachFailureGivesItsWarning)
{
    LoopbackServer server("127.0.5.80");
    ScriptedResponse headerOnly;
    headerOnly.chunks = {"HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n"};
    server.serve("/no-header-end", headerOnly);
    server.serve("/broken", "<rss><channel></rss>");
    server.serve("/redirect", httpResponse("", "301 Moved Permanently"));
    server.serve("/short", rawResponse({"HTTP/1.0"}));
    const std::wstring unsupported = L"Address not supported: only http:// and https:// feeds can be read";

    const std::vector<Failure> failures = {
        {"404", server.url("/missing"), L"RSS error - " + server.url("/missing"),
         std::wregex(L"HTTP response code diffrent than 200 received")},
        {"redirect without a location", server.url("/redirect"), L"RSS error - " + server.url("/redirect"),
         std::wregex(L"Redirect without a location")},
        {"reply shorter than a status line", server.url("/short"), L"RSS error - " + server.url("/short"),
         std::wregex(L"No HTTP data found")},
        {"host without path", L"http://127.0.5.80", L"RSS error - http://127.0.5.80",
         std::wregex(L"HTTP response code diffrent than 200 received")},
        {"unsupported scheme", L"ftp://127.0.5.80/feed", L"RSS error - ftp://127.0.5.80/feed",
         std::wregex(quoted(unsupported))},
        {"port out of range", L"http://127.0.5.80:70000/feed", L"RSS error - http://127.0.5.80:70000/feed",
         std::wregex(quoted(L"Address has an invalid port number (1 to 65535)"))},
        {"no header end", server.url("/no-header-end"), L"RSS error - " + server.url("/no-header-end"),
         std::wregex(L"No HTTP data found")},
        {"broken markup", server.url("/broken"), L"XML error - " + server.url("/broken"),
         std::wregex(quoted(L"Wrong nesting, expecting rss but found channel at position 19"))},
        {"nothing listens", L"http://127.0.5.81/feed", L"Network error - http://127.0.5.81/feed",
         std::wregex(L"Could not connect, error code 10061")},
        {"unresolvable host", L"http://nonexistent.invalid/feed", L"Network error - http://nonexistent.invalid/feed",
         std::wregex(L"Could not resolve host name, error code -?[1-9][0-9]*")},
    };

    for (bool notify : {true, false}) {
        store.feeds.clear(); // each pass is every address's first check
        for (const Failure& failure : failures) {
            host.clearCalls();
            check(failure.address, notify);
            const auto calls = host.calls();
            const std::string name = std::string(failure.name) + (notify ? ", notifying" : ", silent");
            ASSERT_EQ(calls.size(), 1u) << name;
            const RecordedCall& notice = calls[0];
            EXPECT_EQ(notice.service, L"WTW/ShowStandardNotify") << name;
            ASSERT_EQ(notice.record.size(), 88u) << name;
            EXPECT_EQ(notice.text(16), failure.title) << name;
            EXPECT_TRUE(std::regex_match(notice.text(8), failure.text))
                << name << ": " << testing::PrintToString(notice.text(8));
            EXPECT_EQ(notice.text(32), L"Image/Warning32") << name;
            EXPECT_EQ(notice.field<uint32_t>(40), 0u) << name;
            EXPECT_EQ(notice.field<uint64_t>(24), 0u) << name;
        }
    }
    EXPECT_TRUE(store.channels.empty());
    for (const auto& entry : store.feeds) {
        EXPECT_EQ(entry.second.lastSeen, 0) << "a failed check moved last-seen";
        EXPECT_FALSE(entry.second.checked) << "a failed check took the place of a successful one";
    }
}

// Failures outside the exception family end the check without a word.
TEST_F(FeedErrors, OtherFailuresAreSilent)
{
    const std::vector<std::pair<const char*, std::wstring>> addresses = {
        {"empty line", L""},
        {"blank line", L"  \t "},
    };
    for (bool notify : {true, false}) {
        for (const auto& address : addresses) {
            check(address.second, notify);
            EXPECT_TRUE(host.calls().empty()) << address.first << (notify ? ", notifying" : ", silent");
        }
    }
    EXPECT_TRUE(store.channels.empty());
    EXPECT_TRUE(store.feeds.empty());
}

} // namespace
