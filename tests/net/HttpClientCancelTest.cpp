#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "net/HttpClient.h"

namespace {

using Mode = ScriptedResponse::Mode;

const FetchOutcome kCancelled{"NetException", L"Download cancelled", WSAEINTR, {}};

using HttpClientCancel = testing::Test;

// Starts a fetch on its own thread, cancels it once the server has the request,
// and returns the outcome with the time from the cancel to the fetch's end.
std::pair<FetchOutcome, uint64_t> cancelInFlight(LoopbackServer& server, const std::string& path,
                                                 FetchControl& control)
{
    FetchOutcome outcome;
    std::thread fetcher([&] { outcome = fetchOutcome(server.url(path), control); });
    // The whole request is in: the fetch is past its send, receiving or about to.
    EXPECT_TRUE(server.waitUntil([&] { return server.requests().size() == 1; }));
    uint64_t cancelMs = elapsedMs([&] {
        control.cancel();
        fetcher.join();
    });
    return {outcome, cancelMs};
}

TEST_F(HttpClientCancel, FetchWaitingOnASilentServerEndsPromptly)
{
    LoopbackServer server("127.0.4.40");
    server.serve("/silent", rawResponse({}, Mode::Silent));
    FetchControl control; // the product's 30 s limits apply
    const auto [outcome, cancelMs] = cancelInFlight(server, "/silent", control);
    EXPECT_EQ(outcome, kCancelled);
    EXPECT_LT(cancelMs, 3000u);
}

TEST_F(HttpClientCancel, FetchReadingAnEndlessStreamEndsPromptly)
{
    LoopbackServer server("127.0.4.41");
    server.serve("/endless", rawResponse({"HTTP/1.0 200 OK\r\n\r\n", std::string(8192, '\0')}, Mode::Endless));
    FetchLimits limits;
    limits.maxResponseBytes = SIZE_MAX; // only the cancel may end it
    FetchControl control(limits);
    const auto [outcome, cancelMs] = cancelInFlight(server, "/endless", control);
    EXPECT_EQ(outcome, kCancelled);
    EXPECT_LT(cancelMs, 3000u);
}

// A cancelled control refuses for good; another (the next load's) fetches.
TEST_F(HttpClientCancel, NewFetchesOfACancelledControlFailAtOnce)
{
    LoopbackServer server("127.0.4.42");
    server.serve("/feed", "ok");
    FetchControl cancelled;
    cancelled.cancel();
    EXPECT_EQ(fetchOutcome(server.url("/feed"), cancelled), kCancelled);
    EXPECT_EQ(fetchOutcome(server.url("/feed"), cancelled), kCancelled);
    EXPECT_EQ(server.connectionCount(), 0u);
    EXPECT_EQ(fetchOutcome(server.url("/feed"), FetchControl()), (FetchOutcome{"body", L"", 0, "ok"}));
    EXPECT_EQ(server.connectionCount(), 1u);
}

} // namespace
