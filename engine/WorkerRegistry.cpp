#include "engine/WorkerRegistry.h"

#include "base/ModuleRef.h"
#include "host/HostProtocol.h"
#include "services/CallbackGuard.h"
#include "services/HostLink.h"
#include "services/HostLog.h"
#include "services/PumpingWait.h"

namespace {

constexpr DWORD kReapWaitMs = 1000;
constexpr int32_t kLogLevel = 1;
const wchar_t* const kLogModule = L"RSS";

using Hold = std::lock_guard<std::mutex>;

using RegistryRef = std::shared_ptr<WorkerRegistry>;

} // namespace

std::shared_ptr<WorkerRegistry> WorkerRegistry::create(std::shared_ptr<const HostLink> link)
{
    return std::shared_ptr<WorkerRegistry>(new WorkerRegistry(std::move(link)));
}

WorkerRegistry::WorkerRegistry(std::shared_ptr<const HostLink> link) : link_(std::move(link))
{
}

WorkerRegistry::~WorkerRegistry()
{
    // Tasks are left only when no cleaner could be started. A task whose
    // worker still runs is left alive on purpose: that thread still reads it.
    for (auto& task : tasks_)
        if (WaitForSingleObject(task->thread.get(), 0) != WAIT_OBJECT_0)
            task.release();
}

void WorkerRegistry::log(const wchar_t* format, HANDLE handle) const
{
    if (link_)
        link_->log(kLogLevel, kLogModule, format, handle);
}

void WorkerRegistry::registerWorker(std::unique_ptr<RefreshTask> task)
{
    Hold hold(lock_);
    if (!cleanerRunning_)
        startCleaner();
    if (!task || !task->thread)
        return; // no worker to wait for: the task goes at once
    try {
        tasks_.push_back(std::move(task));
        changed_.notify_all();
    } catch (...) {
        // No room to keep it: its worker still reads it, so it may not be freed.
        task.release();
    }
}

void WorkerRegistry::startCleaner()
{
    HANDLE handle = nullptr;
    try {
        auto self = std::make_unique<RegistryRef>(shared_from_this());
        if (HMODULE module = ModuleRef::acquire()) {
            handle = CreateThread(nullptr, 0, &WorkerRegistry::cleanerMain, self.get(), 0, nullptr);
            if (handle != nullptr)
                self.release(); // the cleaner owns its reference to us now
            else
                ModuleRef::release(module);
        }
    } catch (...) {
        handle = nullptr;
    }
    if (handle != nullptr) {
        cleaner_.reset(handle);
        cleanerShown_ = handle;
        cleanerRunning_ = true;
        changed_.notify_all();
    }
    log(L"Starting cleaner thread %p", handle);
}

DWORD WINAPI WorkerRegistry::cleanerMain(LPVOID self)
{
    {
        // The registry stays alive for as long as its cleaner runs, unload or not.
        std::unique_ptr<RegistryRef> registry(static_cast<RegistryRef*>(self));
        guarded((*registry)->link_.get(), L"cleaner thread", 0, [&registry] {
            (*registry)->runCleaner();
            return 0;
        });
    }
    ModuleRef::releaseAndExitThread(0);
}

void WorkerRegistry::runCleaner()
{
    UniqueHandle own; // closed after the end line is written
    HANDLE shown = nullptr;
    for (;;) {
        RefreshTask* task = nullptr;
        {
            Hold hold(lock_);
            if (tasks_.empty()) {
                // Found empty and marked ended in one hold: a registration
                // after this starts a new cleaner rather than wait for us.
                cleanerRunning_ = false;
                changed_.notify_all();
                own = std::move(cleaner_);
                shown = cleanerShown_;
                break;
            }
            task = tasks_.back().get();
            ++waitsBegun_;
            changed_.notify_all();
        }
        const DWORD waited = WaitForSingleObject(task->thread.get(), kReapWaitMs);
        if (waited == WAIT_OBJECT_0) {
            log(kWorkerEndedFormat, task->thread.get());
            reap(task);
        } else if (waited == WAIT_FAILED) {
            Sleep(kReapWaitMs); // never spin on a handle that cannot be waited on
        }
    }
    log(L"Cleaner thread %p has ended", shown);
}

void WorkerRegistry::reap(RefreshTask* task)
{
    Hold hold(lock_);
    // Newer tasks may have been pushed above it while we waited.
    for (auto it = tasks_.begin(); it != tasks_.end(); ++it) {
        if (it->get() != task)
            continue;
        tasks_.erase(it); // closes the worker's handle
        changed_.notify_all();
        return;
    }
}

bool WorkerRegistry::teardown(uint32_t timeoutMs)
{
    UniqueHandle cleaner;
    {
        Hold hold(lock_);
        // Tasks left by a cleaner that could not start get one more try.
        if (!cleanerRunning_ && !tasks_.empty())
            startCleaner();
        // Taken over: from here on only we close this handle, after our wait.
        cleaner = std::move(cleaner_);
        if (!cleaner)
            return !cleanerRunning_;
    }
    return waitPumpingSentMessages(cleaner.get(), timeoutMs);
}

size_t WorkerRegistry::pendingTasks() const
{
    Hold hold(lock_);
    return tasks_.size();
}

size_t WorkerRegistry::waitsBegun() const
{
    Hold hold(lock_);
    return waitsBegun_;
}

bool WorkerRegistry::waitUntil(const std::function<bool(const Counts&)>& holds, uint32_t timeoutMs) const
{
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                             [&] { return holds(Counts{tasks_.size(), cleanerRunning_, waitsBegun_}); });
}

bool WorkerRegistry::cleanerRunning() const
{
    Hold hold(lock_);
    return cleanerRunning_;
}
