#pragma once
// Keeps every refresh worker until its thread has ended; a cleaner thread,
// running only while there are workers, reaps them newest first.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "base/UniqueHandle.h"
#include "engine/RefreshTask.h"

class HostLink;

class WorkerRegistry : public std::enable_shared_from_this<WorkerRegistry> {
public:
    // The registry's log lines go to the host of the load that made it.
    static std::shared_ptr<WorkerRegistry> create(std::shared_ptr<const HostLink> link);
    ~WorkerRegistry();
    WorkerRegistry(const WorkerRegistry&) = delete;
    WorkerRegistry& operator=(const WorkerRegistry&) = delete;

    // Takes ownership of the task; starts a cleaner when none runs.
    void registerWorker(std::unique_ptr<RefreshTask> task);

    // Waits at most timeoutMs for the cleaner thread; true when none runs
    // any more. Never waits on a handle another thread may close.
    bool teardown(uint32_t timeoutMs);

    // Tasks not yet reaped, and whether a cleaner thread runs.
    size_t pendingTasks() const;
    bool cleanerRunning() const;
    // How many waits on a worker the cleaners have begun: each picks the newest task.
    size_t waitsBegun() const;

    struct Counts {
        size_t pendingTasks;
        bool cleanerRunning;
        size_t waitsBegun;
    };
    // Waits until `holds` is true of the counts above, read at each of their
    // changes; false when timeoutMs passed first.
    bool waitUntil(const std::function<bool(const Counts&)>& holds, uint32_t timeoutMs) const;

private:
    explicit WorkerRegistry(std::shared_ptr<const HostLink> link);
    static DWORD WINAPI cleanerMain(LPVOID self);
    void runCleaner();
    void startCleaner(); // under the lock
    void reap(RefreshTask* task);
    void log(const wchar_t* format, HANDLE handle) const;

    mutable std::mutex lock_;
    mutable std::condition_variable changed_; // with lock_: a count changed
    std::vector<std::unique_ptr<RefreshTask>> tasks_; // newest at the back
    UniqueHandle cleaner_;                            // empty too once teardown took the handle over
    bool cleanerRunning_ = false;                     // what decides whether a registration starts a cleaner
    HANDLE cleanerShown_ = nullptr;                   // not owned: only the value, for the cleaner's end line
    size_t waitsBegun_ = 0;
    std::shared_ptr<const HostLink> link_;
};
