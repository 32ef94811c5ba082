#include "UnloadWatch.h"

#include <cstdint>

namespace {

constexpr ULONG kReasonUnloaded = 2;

// LDR_DLL_UNLOADED_NOTIFICATION_DATA; the strings are not read.
struct UnloadedData {
    ULONG flags;
    const void* fullName;
    const void* baseName;
    void* base;
    ULONG size;
};

using Callback = void(CALLBACK*)(ULONG, const void*, void*);
using Register = LONG(NTAPI*)(ULONG, Callback, void*, void**);
using Unregister = LONG(NTAPI*)(void*);

template <typename Fn>
Fn ntdllExport(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

} // namespace

UnloadWatch::UnloadWatch(const std::wstring& path)
    : path_(path), base_(GetModuleHandleW(path.c_str())), unloaded_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    const auto registerNotification = ntdllExport<Register>("LdrRegisterDllNotification");
    if (base_ != nullptr && unloaded_ && registerNotification != nullptr)
        registerNotification(0, &UnloadWatch::notified, this, &cookie_);
}

UnloadWatch::~UnloadWatch()
{
    if (cookie_ != nullptr)
        ntdllExport<Unregister>("LdrUnregisterDllNotification")(cookie_);
}

void CALLBACK UnloadWatch::notified(ULONG reason, const void* data, void* self)
{
    auto* watch = static_cast<UnloadWatch*>(self);
    if (reason == kReasonUnloaded && static_cast<const UnloadedData*>(data)->base == watch->base_)
        SetEvent(watch->unloaded_.get());
}

bool UnloadWatch::waitUnmapped(std::chrono::milliseconds limit) const
{
    if (base_ == nullptr)
        return true;
    if (cookie_ == nullptr)
        return false; // no notification to wait for: say so rather than guess
    if (WaitForSingleObject(unloaded_.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
        return false;
    // The notification comes before the unmapping; this lookup waits for the loader to finish it.
    return GetModuleHandleW(path_.c_str()) == nullptr;
}
