#include "net/DetachedCall.h"

#include <windows.h>

#include <memory>

#include "base/ModuleRef.h"
#include "base/UniqueHandle.h"

namespace {

constexpr DWORD kSliceMs = 100; // how late a cancel may be seen

// Shared by the waiting fetch and the thread; the last of them frees it.
struct Job {
    std::function<void()> call;
    UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

DWORD WINAPI jobThread(LPVOID parameter)
{
    {
        const std::unique_ptr<std::shared_ptr<Job>> handedOver(static_cast<std::shared_ptr<Job>*>(parameter));
        Job& job = **handedOver;
        try {
            job.call();
        } catch (...) {
            // the call reports through what it shares; nothing may leave a thread
        }
        SetEvent(job.done.get());
    }
    ModuleRef::releaseAndExitThread(0);
}

// Starts the thread; false when it could not be started (nothing is left behind).
bool start(const std::shared_ptr<Job>& job)
{
    HMODULE module = ModuleRef::acquire();
    if (module == nullptr)
        return false;
    auto* handedOver = new std::shared_ptr<Job>(job);
    UniqueHandle thread(CreateThread(nullptr, 0, &jobThread, handedOver, 0, nullptr));
    if (!thread) {
        delete handedOver;
        ModuleRef::release(module);
        return false;
    }
    return true;
}

} // namespace

bool callDetached(std::function<void()> call, uint64_t until, const FetchControl& control)
{
    auto job = std::make_shared<Job>();
    job->call = std::move(call);
    if (!job->done || !start(job)) {
        job->call(); // no thread to spare: the call waits as it always did
        return true;
    }
    for (;;) {
        control.throwIfCancelled();
        const uint64_t now = GetTickCount64();
        const DWORD wait = now >= until ? 0 : static_cast<DWORD>(until - now < kSliceMs ? until - now : kSliceMs);
        if (WaitForSingleObject(job->done.get(), wait) == WAIT_OBJECT_0)
            return true;
        if (GetTickCount64() >= until)
            return false;
    }
}
