#include "net/FetchControl.h"

#include <winsock2.h>

#include "base/RSSException.h"

FetchLimits FetchControl::limits() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return limits_;
}

void FetchControl::setLimits(const FetchLimits& limits)
{
    std::lock_guard<std::mutex> hold(mutex_);
    limits_ = limits;
}

void FetchControl::throwIfCancelled() const
{
    if (cancelled())
        failCancelled();
}

void FetchControl::failCancelled()
{
    throw RSS::NetException(L"Download cancelled", WSAEINTR);
}
