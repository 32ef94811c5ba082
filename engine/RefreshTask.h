#pragma once
// One refresh: what its worker thread needs, owned by the WorkerRegistry.
#include <windows.h>

#include <cstdint>

#include "core/HostApi.h"

class FeedStore;

struct RefreshTask {
    const HostApi* host = nullptr;
    FeedStore* store = nullptr;
    HANDLE thread = nullptr; // null when the thread could not be created
    bool notify = false;     // clear on a silent refresh
    uint32_t generation = 0; // the load that started it: its host calls pass the gate only then
};
