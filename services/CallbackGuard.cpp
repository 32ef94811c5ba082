#include "services/CallbackGuard.h"

#include "services/HostLink.h"

namespace {
constexpr int32_t kLogLevel = 1;
const wchar_t* const kLogModule = L"RSS";
} // namespace

void logSwallowed(const HostLink* link, const wchar_t* where, const char* what) noexcept
{
    if (link == nullptr)
        return;
    try {
        link->log(kLogLevel, kLogModule, L"%ls: %hs", where, what);
    } catch (...) { // a lock that cannot be taken: the line is lost, the host is not
    }
}
