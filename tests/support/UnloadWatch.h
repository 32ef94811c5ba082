#pragma once
// Tells when a mapped library is unloaded, through the loader's own DLL
// notification: a test waits for the unmapping itself, not for a guess of when.
#include <windows.h>

#include <chrono>
#include <string>

#include "base/UniqueHandle.h"

class UnloadWatch {
public:
    // Watches the library at `path` as mapped now; nothing to wait for when it is not.
    explicit UnloadWatch(const std::wstring& path);
    ~UnloadWatch();
    UnloadWatch(const UnloadWatch&) = delete;
    UnloadWatch& operator=(const UnloadWatch&) = delete;

    // True once the library is unmapped, waiting at most `limit`.
    bool waitUnmapped(std::chrono::milliseconds limit) const;

private:
    static void CALLBACK notified(ULONG reason, const void* data, void* self);

    std::wstring path_;
    HMODULE base_ = nullptr;
    UniqueHandle unloaded_;
    void* cookie_ = nullptr;
};
