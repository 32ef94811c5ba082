// https against the TLS 1.2 test servers that ctest starts (tests/support/tls):
// the certificate cases, the exchange over TLS, a handshake that stalls or is
// cancelled, and the real DLL reading a feed that redirects from http to https.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

#include "E2eSupport.h"
#include "FetchOutcome.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "TestRoot.h"
#include "TestTime.h"
#include "devhost/FeedList.h"
#include "net/HttpClient.h"
#include "net/HttpMessage.h"

namespace {

using Lines = std::vector<std::wstring>;

class Https : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(trustTestRoot()) << "test root in " << tlsFolder(); }
};
using HttpsThroughTheDll = Https;

FetchOutcome refused(const wchar_t* reason, HRESULT code)
{
    return {"NetException", reason, static_cast<int32_t>(code), {}};
}

std::string request(const std::string& path, const std::string& host)
{
    return HttpMessage::request(host, path); // its bytes are pinned in HttpMessageTest
}

// What the servers send for /big (tls_server.py).
std::string bigBody()
{
    std::string text;
    char line[64];
    for (int n = 0; text.size() < (3u << 20); ++n) {
        snprintf(line, sizeof line, "line %07d of the large secure body\n", n);
        text += line;
    }
    return text.substr(0, 3u << 20);
}

bool holdsTheFeed(const FetchOutcome& outcome)
{
    return outcome.kind == "body" && outcome.body.find("<title>Secure item</title>") != std::string::npos &&
           outcome.body.rfind("</rss>") == outcome.body.size() - 6;
}

TEST_F(Https, CertificatesAreCheckedAndRefusalsNamed)
{
    const wchar_t* const untrusted = L"Certificate not trusted: unknown or untrusted issuer";
    const struct {
        const char* name;
        const wchar_t* address;
        FetchOutcome expected; // kind "body": the feed
    } cases[] = {
        {"good", L"https://127.0.17.1/feed", {"body", L"", 0, {}}},
        {"good, ended with close_notify", L"https://127.0.17.1/notify", {"body", L"", 0, {}}},
        // Without a length, only close_notify tells the body's end from a cut connection.
        {"no length, no close_notify", L"https://127.0.17.1/unframed",
         {"RSSException", L"The server broke off its answer", 0, {}}},
        {"issued for another host", L"https://127.0.17.2/feed",
         refused(L"Certificate issued for another host name", CERT_E_CN_NO_MATCH)},
        {"self-signed", L"https://127.0.17.3/feed", refused(untrusted, CERT_E_UNTRUSTEDROOT)},
        {"expired", L"https://127.0.17.4/feed", refused(L"Certificate expired or not yet valid", CERT_E_EXPIRED)},
        // Wine's SSL policy alone would accept this one: the chain's own bits refuse it.
        {"issued by an unknown CA", L"https://127.0.17.5/feed", refused(untrusted, CERT_E_CHAINING)},
    };
    for (const auto& c : cases) {
        const FetchOutcome outcome = fetchOutcome(c.address);
        if (c.expected.kind == "body")
            EXPECT_TRUE(holdsTheFeed(outcome)) << c.name << ": " << testing::PrintToString(outcome);
        else
            EXPECT_EQ(outcome, c.expected) << c.name;
    }
}

TEST_F(Https, ExchangeIsTheHttpOneOverTls)
{
    const struct {
        const wchar_t* address;
        std::string request;
    } cases[] = {
        {L"https://127.0.17.1/echo", request("/echo", "127.0.17.1")},
        {L"HTTPS://127.0.17.1:443/echo", request("/echo", "127.0.17.1")},
        {L"feed:https://127.0.17.1:8443/echo", request("/echo", "127.0.17.1:8443")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fetchOutcome(c.address), (FetchOutcome{"body", L"", 0, c.request}))
            << testing::PrintToString(std::wstring(c.address));
    const FetchOutcome big = fetchOutcome(L"https://127.0.17.1/big");
    EXPECT_EQ(big.kind, "body");
    EXPECT_TRUE(big.body == bigBody()) << big.body.size() << " bytes";
    FetchLimits limits;
    limits.maxResponseBytes = 1u << 20;
    EXPECT_EQ(fetchOutcome(L"https://127.0.17.1/big", FetchControl(limits)), (FetchOutcome{"RSSException", L"Response too large", 0, {}}));
}

TEST_F(Https, HandshakeWithASilentServerEndsOnTheCallLimit)
{
    LoopbackServer silent("127.0.17.20", 443); // takes the ClientHello, never answers
    FetchLimits limits;
    limits.ioTimeoutMs = 500;
    FetchOutcome outcome;
    const uint64_t ms = elapsedMs([&] { outcome = fetchOutcome(L"https://127.0.17.20/feed", FetchControl(limits)); });
    EXPECT_EQ(outcome, (FetchOutcome{"NetException", L"Secure connection failed", WSAETIMEDOUT, {}}));
    EXPECT_LT(ms, 5000u);
    EXPECT_EQ(silent.connectionCount(), 1u);
}

TEST_F(Https, CancelEndsAHandshakeInProgress)
{
    LoopbackServer silent("127.0.17.21", 443);
    FetchControl control; // the product's 30 s limits
    FetchOutcome outcome;
    std::thread fetcher([&] { outcome = fetchOutcome(L"https://127.0.17.21/feed", control); });
    ASSERT_TRUE(silent.waitForConnections(1));
    ASSERT_EQ(silent.connectionCount(), 1u);
    const uint64_t ms = elapsedMs([&] {
        control.cancel();
        fetcher.join();
    });
    EXPECT_EQ(outcome, (FetchOutcome{"NetException", L"Download cancelled", WSAEINTR, {}}));
    EXPECT_LT(ms, 3000u);
}

TEST_F(HttpsThroughTheDll, AddressFormsAreReadAnnouncedAndShownAndRefusalsWarned)
{
    useUtc();
    LoopbackServer plain("127.0.17.1"); // port 80 beside the TLS server's 443
    plain.serve("/old", rawResponse({"HTTP/1.1 301 Moved Permanently\r\nLocation: https://127.0.17.1/feed\r\n\r\n"}));
    ScratchFolder scratch;
    HostedPlugin plugin(scratch.path(L"quillFeed.cfg"));
    const Lines list = {L"http://127.0.17.1/old", L"  FEED:HTTPS://127.0.17.1:8443/notify", L"ftp://127.0.17.1/feed",
                        L"https://127.0.17.4/feed", L"https://127.0.17.1:99999/feed"};
    std::wstring error;
    ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join(list), error)) << error;
    ASSERT_TRUE(plugin.load());
    ASSERT_TRUE(plugin.refresh(true));
    const std::wstring item = L"Image/RSS | 3 | Secure item | (null)";
    const std::wstring warning = L"Image/Warning32 | 0 | ";
    EXPECT_EQ(describe(plugin.notificationsSince(0)),
              (Lines{item, item,
                     warning + L"RSS error - " + list[2] +
                         L" | Address not supported: only http:// and https:// feeds can be read",
                     warning + L"Network error - " + list[3] + L" | Certificate expired or not yet valid, error code " +
                         std::to_wstring(static_cast<int32_t>(CERT_E_EXPIRED)),
                     warning + L"RSS error - " + list[4] + L" | Address has an invalid port number (1 to 65535)"}));
    const std::wstring news =
        L"https://127.0.17.1/item | Secure item | Secure channel | https://127.0.17.1/item | Image/RSS | 1741082400";
    EXPECT_EQ(describe(plugin.newsSince(0)), (Lines{news, news}));
    const Lines tree = outlineOf(plugin.host.panels());
    EXPECT_EQ(std::count(tree.begin(), tree.end(), L"Secure channel"), 2);
    EXPECT_EQ(plain.requests().size(), 1u);
    // The addresses as written stay the keys of their last-seen times, redirected or not.
    ASSERT_TRUE(plugin.refresh(true));
    EXPECT_EQ(describe(plugin.newsSince(0)).size(), 2u) << "nothing new the second time";
    EXPECT_EQ(plain.requests().size(), 1u) << "moved to https for good: asked there directly";
    plugin.unload();
}

TEST_F(HttpsThroughTheDll, UnloadEndsAHandshakeInProgress)
{
    LoopbackServer silent("127.0.17.22", 443);
    ScratchFolder scratch;
    HostedPlugin plugin(scratch.path(L"quillFeed.cfg"), TimerService::Mode::Running);
    std::wstring error;
    ASSERT_TRUE(plugin.host.storeFeedList(L"https://127.0.17.22/feed", error)) << error;
    ASSERT_TRUE(plugin.load()); // the timer's first event starts a refresh at once
    ASSERT_TRUE(silent.waitForConnections(1));
    ASSERT_EQ(silent.connectionCount(), 1u);
    EXPECT_LT(elapsedMs([&] { plugin.unload(); }), 3000u); // the product's limits are 30 s
    EXPECT_TRUE(silent.waitForFinished(1)) << "the plug-in's connection stayed open";
    EXPECT_EQ(silent.finishedCount(), 1u);
}

} // namespace
