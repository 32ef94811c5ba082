#pragma once
// One refresh: everything its worker thread works with, handed down by the
// plug-in at the timer event, and the worker's thread. Owned by the WorkerRegistry.
#include <cstdint>
#include <memory>
#include <string>

#include "base/UniqueHandle.h"

class FeedPanel;
class FeedStore;
class FetchControl;
class HostLink;
class SettingsStore;

struct RefreshTask {
    // The load's link to the host and its fetch control, kept alive by the
    // task: a worker may outlive the unload that closed and cancelled them.
    std::shared_ptr<const HostLink> link;
    std::shared_ptr<const FetchControl> fetches;
    const SettingsStore* settings = nullptr; // where the feed list is read
    std::wstring statePath;                  // the remembered state's file; empty: none
    FeedStore* store = nullptr;
    FeedPanel* panel = nullptr; // rebuilt at the end; null: nothing to show
    UniqueHandle thread;        // empty when the thread could not be created
    bool notify = false;        // clear on a silent refresh
    int64_t startedAt = 0;      // the store's clock when the refresh took its turn
};
