#include "services/CallbackGuard.h"

#include "services/HostGate.h"
#include "services/HostLog.h"

namespace {
constexpr int32_t kLogLevel = 1;
const wchar_t* const kLogModule = L"RSS";
} // namespace

void logSwallowed(const wchar_t* where, const char* what) noexcept
{
    HostGate::Pass pass(HostGate::generation());
    if (pass)
        hostLog(logHost(), kLogLevel, kLogModule, L"%ls: %hs", where, what);
}
