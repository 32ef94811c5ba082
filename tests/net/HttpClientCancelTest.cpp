#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "Polling.h"
#include "net/HttpClient.h"

namespace {

using Mode = ScriptedResponse::Mode;

const FetchOutcome kCancelled{"NetException", L"Download cancelled", WSAEINTR, {}};

// The test main resumes fetches and gives the product's limits back before each case.
using HttpClientCancel = testing::Test;

// Starts a fetch on its own thread, cancels it once the server has the request,
// and returns the outcome with the time from cancelAll() to the fetch's end.
std::pair<FetchOutcome, uint64_t> cancelInFlight(LoopbackServer& server, const std::string& path)
{
    FetchOutcome outcome;
    std::thread fetcher([&] { outcome = fetchOutcome(server.url(path)); });
    // The whole request is in: the fetch is past its send, receiving or about to.
    EXPECT_TRUE(pollUntil([&] { return server.requests().size() == 1; }));
    uint64_t cancelMs = elapsedMs([&] {
        HttpClient::cancelAll();
        fetcher.join();
    });
    return {outcome, cancelMs};
}

TEST_F(HttpClientCancel, FetchWaitingOnASilentServerEndsPromptly)
{
    LoopbackServer server("127.0.4.40");
    server.serve("/silent", rawResponse({}, Mode::Silent));
    const auto [outcome, cancelMs] = cancelInFlight(server, "/silent"); // the product's 30 s limits apply
    EXPECT_EQ(outcome, kCancelled);
    EXPECT_LT(cancelMs, 3000u);
}

TEST_F(HttpClientCancel, FetchReadingAnEndlessStreamEndsPromptly)
{
    LoopbackServer server("127.0.4.41");
    server.serve("/endless", rawResponse({"HTTP/1.0 200 OK\r\n\r\n", std::string(8192, '\0')}, Mode::Endless));
    FetchLimits limits;
    limits.maxResponseBytes = SIZE_MAX; // only the cancel may end it
    HttpClient::setLimits(limits);
    const auto [outcome, cancelMs] = cancelInFlight(server, "/endless");
    EXPECT_EQ(outcome, kCancelled);
    EXPECT_LT(cancelMs, 3000u);
}

TEST_F(HttpClientCancel, NewFetchesFailAtOnceUntilResumed)
{
    LoopbackServer server("127.0.4.42");
    server.serve("/feed", "ok");
    HttpClient::cancelAll();
    EXPECT_EQ(fetchOutcome(server.url("/feed")), kCancelled);
    EXPECT_EQ(fetchOutcome(server.url("/feed")), kCancelled);
    EXPECT_EQ(server.connectionCount(), 0u);
    HttpClient::resumeAll();
    EXPECT_EQ(fetchOutcome(server.url("/feed")), (FetchOutcome{"body", L"", 0, "ok"}));
    EXPECT_EQ(server.connectionCount(), 1u);
}

} // namespace
