// A thousand refreshes leave no thread and no handle behind.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "EngineTestKit.h"
#include "LogLines.h"
#include "PluginUnderTest.h"
#include "base/UniqueHandle.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

// Growth a thousand cycles may show without leaking: Wine's own lazily
// created objects. A leak of one handle per cycle shows as a thousand.
constexpr size_t kHandleSlack = 16;

// Serves one fixed response to one connection at a time on its own single
// thread, so the server itself keeps no handle per connection.
class SerialServer {
public:
    SerialServer(const char* address, std::string response) : response_(std::move(response))
    {
        WSADATA data;
        winsock_.reset(WSAStartup(MAKEWORD(2, 2), &data) == 0);
        listener_.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        BOOL reuse = TRUE;
        setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(80);
        local.sin_addr.s_addr = inet_addr(address);
        listening_ = bind(listener_.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
                     listen(listener_.get(), SOMAXCONN) == 0;
        if (listening_)
            thread_ = std::thread([this] { serve(); });
    }
    ~SerialServer()
    {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    bool listening() const { return listening_; }
    size_t served() const { return served_.load(); }

private:
    void serve()
    {
        while (!stopping_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(listener_.get(), &set);
            timeval wait{0, 20000};
            if (select(0, &set, nullptr, nullptr, &wait) <= 0)
                continue;
            UniqueSocket client(accept(listener_.get(), nullptr, nullptr));
            if (!client)
                continue;
            std::string request;
            char buffer[1024];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int got = recv(client.get(), buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                request.append(buffer, got);
            }
            // Counted before the answer goes: the client may finish its whole
            // refresh before this thread runs again.
            ++served_;
            send(client.get(), response_.data(), static_cast<int>(response_.size()), 0);
            shutdown(client.get(), SD_SEND);
            client.reset();
        }
    }

    std::string response_;
    UniqueWinsock winsock_; // declared first: closed after the listener
    UniqueSocket listener_;
    bool listening_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> served_{0};
    std::thread thread_;
};

class Resources : public PluginUnderTest {
protected:
    // The failures the plug-in reported in the last batch, warnings and their
    // logged repeats, so a failing count says why.
    std::string failuresSaid() const
    {
        std::wstring said;
        for (const RecordedCall& call : host.callsTo(L"WTW/ShowStandardNotify"))
            said += call.text(16) + L" | " + call.text(8) + L"\n";
        for (const std::wstring& line : logMessages(host.calls()))
            if (line.rfind(L"Warning not repeated", 0) == 0)
                said += line + L"\n";
        return testing::PrintToString(said);
    }

    // A batch of timer events fired back to back (each batch runs one refresh
    // and one waiting, into which the rest merge), until every worker is
    // reaped and every cleaner has ended.
    bool batch(int refreshes, int32_t code)
    {
        host.clearCalls();
        for (int i = 0; i < refreshes; ++i)
            startRefresh(code);
        return waitForRefreshes() && waitForCleaners();
    }

    // Runs the refreshes and checks that threads and handles come back to where they were.
    void expectNoGrowth(int refreshes, int32_t code)
    {
        constexpr int kBatch = 10;
        ASSERT_TRUE(batch(kBatch, code)); // warm-up: lazily created objects of Wine and WinSock
        // Settled: every worker and cleaner of the warm-up is gone, observed.
        ASSERT_TRUE(callingThreadsEnded(host.calls()));
        const size_t baseThreads = threadCount();
        const size_t baseHandles = handleCount();
        ASSERT_GT(baseHandles, 0u) << "the handle count is not available";

        const auto start = std::chrono::steady_clock::now();
        for (int done = 0; done < refreshes; done += kBatch)
            ASSERT_TRUE(batch(kBatch, code)) << "after " << done << " refreshes";
        const auto elapsed = std::chrono::steady_clock::now() - start;
        ASSERT_TRUE(callingThreadsEnded(host.calls())); // as for the baseline
        const size_t threads = settledCount(&threadCount, baseThreads);
        const size_t handles = settledCount(&handleCount, baseHandles + kHandleSlack);
        printf("%d refreshes took %lld ms; threads %zu -> %zu, handles %zu -> %zu\n", refreshes,
               static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()),
               baseThreads, threads, baseHandles, handles);
        EXPECT_LE(threads, baseThreads);
        EXPECT_LE(handles, baseHandles + kHandleSlack);
    }
};

// The counters must see a change, or the tests below could never fail.
TEST(ResourceCounters, SeeHandlesAndThreadsComeAndGo)
{
    const size_t handles = handleCount();
    const size_t threads = threadCount();
    ASSERT_GT(handles, 0u);
    ASSERT_GT(threads, 0u);
    std::vector<UniqueHandle> events;
    for (int i = 0; i < 40; ++i)
        events.emplace_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::vector<std::thread> waiting;
    for (int i = 0; i < 3; ++i)
        waiting.emplace_back([&stop] { WaitForSingleObject(stop.get(), 10000); });
    EXPECT_GE(handleCount(), handles + 40);
    EXPECT_GE(threadCount(), threads + 3);
    events.clear();
    SetEvent(stop.get());
    for (auto& thread : waiting)
        thread.join();
    stop.reset();
    EXPECT_LE(settledCount(&handleCount, handles + 5), handles + 5);
    EXPECT_LE(settledCount(&threadCount, threads), threads);
}

TEST_F(Resources, ThousandTimerEventsOfAnEmptyListLeaveNothingBehind)
{
    expectNoGrowth(1000, 1);
}

TEST_F(Resources, TimerEventsOfALocalFeedLeaveNothingBehind)
{
    const int64_t date = utcSeconds(2024, 6, 1, 12, 0, 0);
    SerialServer server(
        "127.0.5.60", "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n" +
                          rssDocument("Local", {{"A", "http://x/a", "a", date}, {"B", "http://x/b", "b", date + 60}}));
    ASSERT_TRUE(server.listening());
    host.setValue(kFeedsKey, L"http://127.0.5.60/feed\r\nhttp://127.0.5.60/feed");
    const size_t admitted = plugin.store.refreshQueue().admittedCount();
    expectNoGrowth(200, 3);
    const size_t refreshes = plugin.store.refreshQueue().admittedCount() - admitted;
    EXPECT_GE(refreshes, 21u) << "a batch ran less than one refresh";
    EXPECT_EQ(server.served(), 2u * refreshes) << failuresSaid();
    EXPECT_EQ(plugin.store.channels.size(), 2u) << failuresSaid();
}

} // namespace
