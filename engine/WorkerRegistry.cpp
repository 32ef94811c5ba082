#include "engine/WorkerRegistry.h"

std::shared_ptr<WorkerRegistry> WorkerRegistry::create()
{
    return std::shared_ptr<WorkerRegistry>(new WorkerRegistry());
}

WorkerRegistry::WorkerRegistry()
{
    InitializeCriticalSection(&lock_);
}

WorkerRegistry::~WorkerRegistry()
{
    DeleteCriticalSection(&lock_);
}

void WorkerRegistry::registerWorker(std::unique_ptr<RefreshTask>)
{
}

bool WorkerRegistry::teardown(uint32_t)
{
    return true;
}

DWORD WINAPI WorkerRegistry::cleanerMain(LPVOID)
{
    return 0;
}

void WorkerRegistry::runCleaner()
{
}
