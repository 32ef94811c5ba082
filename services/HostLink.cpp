#include "services/HostLink.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>

#include "services/HostLog.h"
#include "services/PumpingWait.h"

namespace {
constexpr uint32_t kDrainSliceMs = 5;
} // namespace

bool HostLink::close(uint32_t timeoutMs)
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        open_ = false;
    }
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (passesInFlight() == 0)
            return true;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeoutMs)
            return false;
        waitPumpingSentMessages(nullptr, std::min<uint32_t>(kDrainSliceMs, timeoutMs - static_cast<uint32_t>(elapsed)));
    }
}

bool HostLink::isOpen() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return open_;
}

size_t HostLink::passesInFlight() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return inFlight_;
}

HostLink::Pass::Pass(const HostLink& link) : link_(link)
{
    std::lock_guard<std::mutex> hold(link_.mutex_);
    admitted_ = link_.open_;
    if (admitted_)
        ++link_.inFlight_;
}

HostLink::Pass::~Pass()
{
    if (!admitted_)
        return;
    std::lock_guard<std::mutex> hold(link_.mutex_);
    --link_.inFlight_;
}

bool HostLink::call(const wchar_t* service, intptr_t wParam, intptr_t lParam) const
{
    Pass pass(*this);
    if (!pass)
        return false;
    callHost(host_, service, wParam, lParam);
    return true;
}

bool HostLink::log(int32_t level, const wchar_t* moduleName, const wchar_t* format, ...) const
{
    Pass pass(*this);
    if (!pass)
        return false;
    va_list args;
    va_start(args, format);
    hostLogV(host_, level, moduleName, format, args);
    va_end(args);
    return true;
}
