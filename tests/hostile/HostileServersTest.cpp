// Servers that stall, flood, lie or hang up, each met by a whole notifying
// refresh: every one ends within the lowered limits with its exact warning,
// or with the correct result where the answer is still a feed.
#include <winsock2.h>

#include "HostileRefresh.h"
#include "LoopbackServer.h"

namespace {

using Mode = ScriptedResponse::Mode;
using Lines = std::vector<std::wstring>;

// Each limit leaves a wide margin to the event it must not overtake, so a loaded
// machine cannot turn one ending into another: a reset comes 200 ms after the
// answer starts, and the endless streams reach the cap in 16 receives.
constexpr uint32_t kIoTimeoutMs = 1000;
constexpr uint32_t kDeadlineMs = 3000;
constexpr size_t kMaxResponse = 64u << 10;
constexpr auto kNoHang = std::chrono::seconds(10); // far above the limits above, far below the product's

const std::wstring kTimedOut = L", error code " + std::to_wstring(WSAETIMEDOUT);
const std::wstring kReset = L", error code " + std::to_wstring(WSAECONNRESET);
const std::wstring kRefused = L", error code " + std::to_wstring(WSAECONNREFUSED);
const std::wstring kBadStatus = L"HTTP response code diffrent than 200 received";

struct ServerCase {
    std::string name;
    std::string path;
    ScriptedResponse script;
    // Given the case's address: the announcements and channel titles expected.
    Lines announcements;
    Lines channels;
};

ScriptedResponse with(ScriptedResponse script, uint32_t resetAfterMs = 0, uint32_t pauseMs = 0)
{
    script.resetAfterMs = resetAfterMs;
    script.pauseBetweenChunksMs = pauseMs;
    return script;
}

ScriptedResponse dripping(const std::string& body)
{
    ScriptedResponse script = httpResponse(body);
    script.mode = Mode::Drip;
    script.dripIntervalMs = 20; // each byte well within the receive limit: only the deadline can end it
    return script;
}

Lines errorFrom(const LoopbackServer& server, const std::wstring& kind, const std::string& path,
                const std::wstring& text)
{
    return Lines{errorLine(kind, server.url(path), text)};
}

// Servers that keep the client waiting or reading: each ends on a limit or a reset.
std::vector<ServerCase> stallingCases(const LoopbackServer& server)
{
    const std::string feed = feedDocument("Slow", {{"Never", "never", "", ""}});
    return {
        {"silent",
         "/silent",
         rawResponse({}, Mode::Silent),
         errorFrom(server, L"Network", "/silent", L"Receive failed" + kTimedOut),
         {}},
        {"stops midway, open",
         "/stops",
         rawResponse({"HTTP/1.0 200 OK\r\n\r\n<rss><chan"}, Mode::StopAfter),
         errorFrom(server, L"Network", "/stops", L"Receive failed" + kTimedOut),
         {}},
        {"dripping",
         "/drip",
         dripping(feed),
         errorFrom(server, L"Network", "/drip", L"Download took too long" + kTimedOut),
         {}},
        {"endless text",
         "/endless",
         rawResponse({"HTTP/1.0 200 OK\r\n\r\n<rss>", std::string(4096, 'a')}, Mode::Endless),
         errorFrom(server, L"RSS", "/endless", L"Response too large"),
         {}},
        // Counted on the wire, not by what is kept.
        {"endless NUL bytes",
         "/endless-nul",
         rawResponse({"HTTP/1.0 200 OK\r\n\r\n", std::string(4096, '\0')}, Mode::Endless),
         errorFrom(server, L"RSS", "/endless-nul", L"Response too large"),
         {}},
        {"reset before the answer",
         "/reset",
         with(rawResponse({}, Mode::Reset), 200),
         errorFrom(server, L"Network", "/reset", L"Receive failed" + kReset),
         {}},
        {"reset midway",
         "/reset-midway",
         with(rawResponse({"HTTP/1.0 200 OK\r\n\r\n<rss><channel><title>Cut"}, Mode::Reset), 200),
         errorFrom(server, L"Network", "/reset-midway", L"Receive failed" + kReset),
         {}},
    };
}

// Servers that answer at once, but not with what HTTP promises.
std::vector<ServerCase> malformedCases(const LoopbackServer& server)
{
    // A NUL ends what its receive contributes: the rest of the first part is lost,
    // the second part (sent after a pause, so it arrives in a receive of its own) is kept.
    const std::string firstPart = "HTTP/1.0 200 OK\r\n\r\n<rss><channel><title>Nul</title>";
    const std::string secondPart = std::string("<item><title>Shown</title><guid>shown</guid><pubDate>") + kItemDate +
                                   "</pubDate></item></channel></rss>";
    return {
        {"binary garbage",
         "/garbage",
         rawResponse({"\x16\x03\x01\x02\x01\xff\xfe garbage\r\n\r\n<rss/>"}),
         errorFrom(server, L"RSS", "/garbage", kBadStatus),
         {}},
        {"another protocol's banner",
         "/banner",
         rawResponse({"SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n"}),
         errorFrom(server, L"RSS", "/banner", kBadStatus),
         {}},
        {"status line only",
         "/no-header-end",
         rawResponse({"HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n"}),
         errorFrom(server, L"RSS", "/no-header-end", L"No HTTP data found"),
         {}},
        // Shorter than a status line: as little HTTP as no header end.
        {"short answer",
         "/short",
         rawResponse({"HTTP/1.0"}),
         errorFrom(server, L"RSS", "/short", L"No HTTP data found"),
         {}},
        {"closed without an answer",
         "/empty",
         rawResponse({}),
         errorFrom(server, L"RSS", "/empty", L"No HTTP data found"),
         {}},
        {"NUL bytes in the body",
         "/nul",
         with(rawResponse({firstPart + '\0' + "<item><title>Lost", secondPart}), 0, 200),
         {notifyLine(L"Shown"), newsLine(L"shown")},
         {L"Nul"}},
        {"body of NUL bytes only",
         "/only-nul",
         rawResponse({"HTTP/1.0 200 OK\r\n\r\n" + std::string(3000, '\0')}),
         {},
         {L""}},
    };
}

class HostileServers : public HostileRefresh {
protected:
    // Each case alone in a notifying refresh; found and expected, named.
    void run(const std::string& address, std::vector<ServerCase> (*casesFor)(const LoopbackServer&))
    {
        useLimits(kIoTimeoutMs, kDeadlineMs, kMaxResponse);
        LoopbackServer server(address);
        takeBaseline(server);
        const std::vector<ServerCase> cases = casesFor(server);
        std::vector<CaseResult> expected;
        std::vector<CaseResult> found;
        for (const ServerCase& c : cases) {
            server.serve(c.path, c.script);
            expected.push_back({c.name, {c.announcements, c.channels, true}});
            found.push_back({c.name, refresh(server.url(c.path), kNoHang)});
        }
        EXPECT_EQ(found, expected);
        EXPECT_EQ(server.connectionCount(), 1 + cases.size()) << "one connection per refresh, no retries";
    }
};

TEST_F(HostileServers, StallingServersEndOnTheirLimitWithTheirWarning)
{
    run("127.0.8.1", &stallingCases);
}

TEST_F(HostileServers, MalformedAnswersEndWithTheirWarningOrAreRead)
{
    run("127.0.8.8", &malformedCases);
}

TEST_F(HostileRefresh, NothingListeningIsAConnectError)
{
    useLimits(kIoTimeoutMs, kDeadlineMs, kMaxResponse);
    LoopbackServer server("127.0.8.2");
    takeBaseline(server);
    const std::wstring address = L"http://127.0.8.6/feed";
    EXPECT_EQ(refresh(address, kNoHang),
              (RefreshOutcome{{errorLine(L"Network", address, L"Could not connect" + kRefused)}, {}, true}));
}

} // namespace
