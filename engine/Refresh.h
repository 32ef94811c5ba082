#pragma once
// The refresh worker: starting it, and the thread body that checks the list.
#include <windows.h>

#include <memory>

class WorkerRegistry;
struct RefreshTask;

// Starts a worker thread on the task (its thread is filled in
// here) and hands the task to the registry. Does nothing without a registry or
// a store, or while the plug-in is being unloaded.
void startRefresh(const std::shared_ptr<WorkerRegistry>& registry, std::unique_ptr<RefreshTask> task);
DWORD WINAPI runRefresh(LPVOID task);
