#pragma once
// Keeps every refresh worker until its thread has ended; a cleaner thread,
// running only while there are workers, reaps them newest first.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/RefreshTask.h"

class WorkerRegistry : public std::enable_shared_from_this<WorkerRegistry> {
public:
    static std::shared_ptr<WorkerRegistry> create();
    ~WorkerRegistry();
    WorkerRegistry(const WorkerRegistry&) = delete;
    WorkerRegistry& operator=(const WorkerRegistry&) = delete;

    // Takes ownership of the task; starts a cleaner when none runs.
    void registerWorker(std::unique_ptr<RefreshTask> task);

    // Waits at most timeoutMs for the cleaner thread; true when none runs
    // any more. Never waits on a handle another thread may close.
    bool teardown(uint32_t timeoutMs);

private:
    WorkerRegistry();
    static DWORD WINAPI cleanerMain(LPVOID self);
    void runCleaner();

    CRITICAL_SECTION lock_;
    std::vector<std::unique_ptr<RefreshTask>> tasks_; // newest at the back
    HANDLE cleaner_ = nullptr;
};
