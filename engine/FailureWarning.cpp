#include "engine/FailureWarning.h"

#include <utility>

#include "engine/FeedStore.h"
#include "engine/RefreshTask.h"
#include "host/HostProtocol.h"
#include "services/HostLink.h"

namespace {

constexpr uint32_t kWarningFlags = 0;
constexpr int32_t kLogLevel = 1;
const wchar_t* const kLogModule = L"RSS";

void logRepeat(const RefreshTask& task, const FeedWarning& warning)
{
    task.link->log(kLogLevel, kLogModule, L"Warning not repeated: %ls | %ls", warning.title.c_str(),
                   warning.text.c_str());
}

} // namespace

void raiseWarning(const RefreshTask& task, const std::wstring& address, FeedWarning warning)
{
    FeedMemory& memory = task.store->memoryFor(address);
    if (memory.outage == warning) {
        logRepeat(task, warning);
        return;
    }
    NotifyRecord notice;
    notice.text = warning.text.c_str();
    notice.title = warning.title.c_str();
    notice.icon = kWarningImageId;
    notice.flags = kWarningFlags;
    // A warning refused by an unload is raised again after the next load.
    if (task.link->call(Service::kShowStandardNotify, reinterpret_cast<intptr_t>(&notice),
                       0))
        memory.outage = std::move(warning);
}
