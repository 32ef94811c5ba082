#pragma once
// The process-wide plug-in state and the three entry points' bodies.
#include <windows.h>

#include <memory>

#include "core/HostApi.h"
#include "engine/FeedStore.h"
#include "engine/WorkerRegistry.h"
#include "ui/FeedPanel.h"

struct Plugin {
    const HostApi* host = nullptr;
    HINSTANCE module = codeModule();
    HWND optionsEditor = nullptr;            // owned: whoever clears it destroys the window first
    std::shared_ptr<WorkerRegistry> workers; // shared with a cleaner that outlives unload
    FeedStore store;
    FeedPanel panel;

    // Built on the first call, which comes from the library entry point.
    static Plugin& instance();

    // Bodies of the exports pluginLoad and pluginUnload.
    int load(const HostApi* hostTable);
    int unload();

    static HINSTANCE codeModule();
};

// Registered with the host under this GUID; also the options page's removal key.
extern const wchar_t* const kPluginGuid;
