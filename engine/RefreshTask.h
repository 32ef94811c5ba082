#pragma once
// One refresh: everything its worker thread works with, handed down by the
// plug-in at the timer event, and the worker's thread. Owned by the WorkerRegistry.
#include <cstdint>

#include "base/UniqueHandle.h"
#include "host/HostApi.h"

class FeedPanel;
class FeedStore;
class SettingsStore;

struct RefreshTask {
    const HostApi* host = nullptr;
    const SettingsStore* settings = nullptr; // where the feed list is read
    FeedStore* store = nullptr;
    FeedPanel* panel = nullptr; // rebuilt at the end; null: nothing to show
    UniqueHandle thread;        // empty when the thread could not be created
    bool notify = false;        // clear on a silent refresh
    uint32_t generation = 0;    // the load that started it: its host calls pass the gate only then
};
