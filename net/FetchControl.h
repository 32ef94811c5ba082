#pragma once
// What the fetches of one load obey: their time and size limits, and the
// cancel that unload raises. Each load makes its own; nothing is process-wide.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

struct FetchLimits {
    uint32_t ioTimeoutMs = 30000;        // each connect, send and receive
    uint32_t deadlineMs = 120000;        // the whole fetch, every hop and every wait, from its start
    size_t maxResponseBytes = 32u << 20; // a feed is never this large
};

class FetchControl {
public:
    explicit FetchControl(const FetchLimits& limits = FetchLimits{}) : limits_(limits) {}
    FetchControl(const FetchControl&) = delete;
    FetchControl& operator=(const FetchControl&) = delete;

    // The product keeps the defaults; tests lower them to stay fast.
    FetchLimits limits() const;
    void setLimits(const FetchLimits& limits);

    // Cuts fetches in flight short and refuses new ones, for good.
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_.load(); }
    // RSS::NetException "Download cancelled" with WSAEINTR when cancelled.
    void throwIfCancelled() const;
    [[noreturn]] static void failCancelled();

private:
    mutable std::mutex mutex_;
    FetchLimits limits_;
    std::atomic<bool> cancelled_{false};
};
