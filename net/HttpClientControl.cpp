#include "net/HttpClientControl.h"

#include <atomic>
#include <mutex>

#include <winsock2.h>

#include "base/RSSException.h"
#include "net/HttpClient.h"

namespace {

std::atomic<bool> cancelFlag{false};

std::mutex& limitsLock()
{
    static std::mutex lock;
    return lock;
}

FetchLimits& currentLimits()
{
    static FetchLimits limits;
    return limits;
}

} // namespace

bool HttpClientControl::cancelled()
{
    return cancelFlag.load();
}

void HttpClientControl::failCancelled()
{
    throw RSS::NetException(L"Download cancelled", WSAEINTR);
}

namespace HttpClient {

FetchLimits limits()
{
    std::lock_guard<std::mutex> hold(limitsLock());
    return currentLimits();
}

void setLimits(const FetchLimits& limits)
{
    std::lock_guard<std::mutex> hold(limitsLock());
    currentLimits() = limits;
}

void cancelAll()
{
    cancelFlag = true;
}

void resumeAll()
{
    cancelFlag = false;
}

} // namespace HttpClient
