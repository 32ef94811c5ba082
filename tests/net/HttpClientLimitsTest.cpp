#include <gtest/gtest.h>

#include "FetchOutcome.h"
#include "LoopbackListener.h"
#include "LoopbackServer.h"
#include "net/HttpClient.h"

namespace {

using Mode = ScriptedResponse::Mode;

// Lowers the limits of the test's own fetch control.
class HttpClientLimits : public testing::Test {
protected:
    void use(uint32_t ioTimeoutMs, uint32_t deadlineMs, size_t maxResponseBytes = 32u << 20)
    {
        FetchLimits limits;
        limits.ioTimeoutMs = ioTimeoutMs;
        limits.deadlineMs = deadlineMs;
        limits.maxResponseBytes = maxResponseBytes;
        control.setLimits(limits);
    }
    FetchOutcome fetch(const std::wstring& address) const { return fetchOutcome(address, control); }

    FetchControl control;
};

constexpr uint64_t kNoHangMs = 10000; // far above every limit used here, far below the product's

TEST_F(HttpClientLimits, ProductKeepsItsFixedLimits)
{
    const FetchLimits limits = control.limits();
    EXPECT_EQ(limits.ioTimeoutMs, 30000u);
    EXPECT_EQ(limits.deadlineMs, 120000u);
    EXPECT_EQ(limits.maxResponseBytes, 32u * 1024 * 1024);
    use(1, 2, 3);
    EXPECT_EQ(control.limits().maxResponseBytes, 3u);
}

TEST_F(HttpClientLimits, IdleServersFailOnTheReceiveLimit)
{
    ScriptedResponse silent = rawResponse({}, Mode::Silent);
    ScriptedResponse stopsMidway =
        rawResponse({"HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n<rss>"}, Mode::StopAfter);
    LoopbackServer server("127.0.4.30");
    server.serve("/silent", silent);
    server.serve("/midway", stopsMidway);
    use(300, 60000);
    for (const char* path : {"/silent", "/midway"}) {
        FetchOutcome outcome;
        EXPECT_LT(elapsedMs([&] { outcome = fetch(server.url(path)); }), kNoHangMs) << path;
        EXPECT_EQ(outcome, (FetchOutcome{"NetException", L"Receive failed", WSAETIMEDOUT, {}})) << path;
    }
}

TEST_F(HttpClientLimits, DrippingServerFailsOnTheDeadline)
{
    ScriptedResponse drip = httpResponse(std::string(2000, 'x'));
    drip.mode = Mode::Drip;
    drip.dripIntervalMs = 20; // always well within the receive limit
    LoopbackServer server("127.0.4.31");
    server.serve("/drip", drip);
    use(2000, 700);
    FetchOutcome outcome;
    EXPECT_LT(elapsedMs([&] { outcome = fetch(server.url("/drip")); }), kNoHangMs);
    EXPECT_EQ(outcome, (FetchOutcome{"NetException", L"Download took too long", WSAETIMEDOUT, {}}));
}

TEST_F(HttpClientLimits, ServerThatAlwaysHasDataFailsOnTheDeadline)
{
    ScriptedResponse endless = rawResponse({"HTTP/1.0 200 OK\r\n\r\n", std::string(4096, '\0')}, Mode::Endless);
    LoopbackServer server("127.0.4.32");
    server.serve("/endless", endless);
    use(2000, 500, SIZE_MAX); // NUL bytes add no memory, so no cap is needed here
    FetchOutcome outcome;
    EXPECT_LT(elapsedMs([&] { outcome = fetch(server.url("/endless")); }), kNoHangMs);
    EXPECT_EQ(outcome, (FetchOutcome{"NetException", L"Download took too long", WSAETIMEDOUT, {}}));
}

// A connect that never completes ends on the per-call limit, and a redirect to
// such a host ends on the deadline of the whole fetch, which says so.
TEST_F(HttpClientLimits, ConnectToAHostThatNeverAnswersEnds)
{
    const FullAcceptQueue unanswering("127.0.4.36");
    LoopbackServer server("127.0.4.37");
    server.serve("/moved", rawResponse({"HTTP/1.1 302 Found\r\nLocation: http://127.0.4.36/feed\r\n\r\n"}));
    const struct {
        const wchar_t* address;
        uint32_t ioTimeoutMs, deadlineMs;
        const wchar_t* failure;
    } cases[] = {{L"http://127.0.4.36/feed", 400, 60000, L"Could not connect"},
                 {L"http://127.0.4.37/moved", 60000, 600, L"Download took too long"}};
    for (const auto& c : cases) {
        use(c.ioTimeoutMs, c.deadlineMs);
        FetchOutcome outcome;
        EXPECT_LT(elapsedMs([&] { outcome = fetch(c.address); }), kNoHangMs) << c.address;
        EXPECT_EQ(outcome, (FetchOutcome{"NetException", c.failure, WSAETIMEDOUT, {}})) << c.address;
    }
}

TEST_F(HttpClientLimits, EndlessBodyIsCappedAsATooLargeResponse)
{
    struct Case {
        const char* path;
        std::string header;
        std::string chunk;
    };
    const Case cases[] = {
        {"/text", "HTTP/1.0 200 OK\r\n\r\n", std::string(5000, 'a')},
        {"/zeros", "HTTP/1.0 200 OK\r\n\r\n", std::string(5000, '\0')}, // counted on the wire, not by what is kept
        {"/announced", "HTTP/1.0 200 OK\r\nContent-Length: 4294967296\r\n\r\n", std::string(5000, 'c')},
    };
    LoopbackServer server("127.0.4.33");
    for (const Case& c : cases)
        server.serve(c.path, rawResponse({c.header, c.chunk}, Mode::Endless));
    // The deadline is far off: only the cap can end these fetches, and the
    // error says which one did. Their time is the machine's, not ours to judge.
    use(5000, 60000, 1u << 20);
    for (const Case& c : cases)
        EXPECT_EQ(fetch(server.url(c.path)), (FetchOutcome{"RSSException", L"Response too large", 0, {}})) << c.path;
}

TEST_F(HttpClientLimits, ResponseOfExactlyTheCapIsAccepted)
{
    const std::string response = "HTTP/1.0 200 OK\r\n\r\n" + std::string(10000, 'b');
    LoopbackServer server("127.0.4.34");
    server.serve("/feed", rawResponse({response}));
    use(5000, 60000, response.size());
    EXPECT_EQ(fetch(server.url("/feed")), (FetchOutcome{"body", L"", 0, std::string(10000, 'b')}));
    use(5000, 60000, response.size() - 1);
    EXPECT_EQ(fetch(server.url("/feed")), (FetchOutcome{"RSSException", L"Response too large", 0, {}}));
}

TEST_F(HttpClientLimits, ResetConnectionFailsAsAReceiveError)
{
    ScriptedResponse beforeAnswer = rawResponse({}, Mode::Reset);
    beforeAnswer.resetAfterMs = 200; // the client is waiting in its receive by then
    ScriptedResponse midway = rawResponse({"HTTP/1.0 200 OK\r\n\r\n<rss>"}, Mode::Reset);
    midway.resetAfterMs = 200;
    LoopbackServer server("127.0.4.35");
    server.serve("/before", beforeAnswer);
    server.serve("/midway", midway);
    for (const char* path : {"/before", "/midway"})
        EXPECT_EQ(fetch(server.url(path)), (FetchOutcome{"NetException", L"Receive failed", WSAECONNRESET, {}}))
            << path;
}

} // namespace
