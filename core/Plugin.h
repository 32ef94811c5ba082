#pragma once
// The process-wide plug-in state and the three entry points' bodies. The top
// of the include graph: nothing below core/ includes this header; what the
// parts need of the state is handed to them (see docs/architecture.md).
#include <windows.h>

#include <memory>

#include "engine/FeedStore.h"
#include "engine/WorkerRegistry.h"
#include "host/HostApi.h"
#include "net/FetchControl.h"
#include "services/HostLink.h"
#include "services/SettingsStore.h"
#include "ui/UiParts.h"

// The panel and the options page (UiParts) come first: the record is their
// callback data, so their callbacks find them at its address.
struct Plugin : UiParts {
    HINSTANCE module = codeModule();
    // Made at each load and shared with the threads it starts, which may
    // outlive its unload: the registry with its cleaner, the host link (closed
    // at unload) and the fetch control (cancelled at unload) with the workers.
    std::shared_ptr<WorkerRegistry> workers;
    std::shared_ptr<HostLink> link;
    std::shared_ptr<FetchControl> fetches;
    FeedStore store;
    SettingsStore settings;

    // Built on the first call, which comes from the library entry point.
    static Plugin& instance();

    // Bodies of the exports pluginLoad and pluginUnload.
    int load(const HostApi* host);
    int unload();

    // What a refresh of the current load works with.
    std::unique_ptr<RefreshTask> refreshTask(bool notify);

    static HINSTANCE codeModule();
};
