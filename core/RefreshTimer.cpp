#include "core/RefreshTimer.h"

#include "core/Plugin.h"
#include "engine/Refresh.h"
#include "host/HostProtocol.h"
#include "services/CallbackGuard.h"

intptr_t onRefreshTimer(intptr_t timerEvent, intptr_t, void*)
{
    const auto* event = reinterpret_cast<const TimerEvent*>(timerEvent);
    if (event == nullptr || (event->code != kSilentRefreshEvent && event->code != kNotifyingRefreshEvent))
        return 0;
    // The timer is registered without callback data: the state is taken here.
    Plugin& plugin = Plugin::instance();
    return guarded(plugin.link.get(), L"refresh timer", intptr_t{0}, [event, &plugin] {
        startRefresh(std::atomic_load(&plugin.workers), plugin.refreshTask(event->code == kNotifyingRefreshEvent));
        return intptr_t{0};
    });
}
