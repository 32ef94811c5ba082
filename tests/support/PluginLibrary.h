#pragma once
// quillFeed.dll as the messenger has it: LoadLibraryW and its two entry points.
// Freed with this object unless the test freed it already.
#include <windows.h>

#include <chrono>
#include <string>

#include "UnloadWatch.h"
#include "host/HostApi.h"

class PluginLibrary {
public:
    PluginLibrary();
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loaded, and both pluginLoad and pluginUnload exported.
    bool ready() const { return load_ != nullptr && unload_ != nullptr; }
    HMODULE module() const { return module_; }
    FARPROC exported(const char* name) const { return GetProcAddress(module_, name); }

    int load(const HostApi* host) const { return load_(0, host); }
    int unload() const { return unload_(); }
    // FreeLibrary now; a thread of the library may keep it mapped a while longer.
    bool release();
    bool mapped() const { return GetModuleHandleW(path_.c_str()) != nullptr; }
    // After release: true once the last thread of the library let it go.
    bool waitUnmapped(std::chrono::milliseconds limit) const { return watch_.waitUnmapped(limit); }

private:
    std::wstring path_;
    HMODULE module_ = nullptr;
    int (*load_)(DWORD, const HostApi*) = nullptr;
    int (*unload_)() = nullptr;
    UnloadWatch watch_{path_}; // last: made once the library is loaded
};
