#pragma once
// quillFeed.dll as the messenger has it: LoadLibraryW and its two entry points.
// Freed with this object unless the test freed it already.
#include <windows.h>

#include <string>

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

private:
    std::wstring path_;
    HMODULE module_ = nullptr;
    int (*load_)(DWORD, const HostApi*) = nullptr;
    int (*unload_)() = nullptr;
};
