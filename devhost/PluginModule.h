#pragma once
// The plug-in library, loaded the way the messenger loads it: LoadLibraryW
// and its three exports, nothing linked in.
#include <windows.h>

#include <string>

#include "host/Exports.h"

struct PluginIdentity {
    std::wstring name;
    std::wstring description;
    std::wstring guid;
};

class PluginModule {
public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // False, with a readable reason, when the file or an export is missing.
    bool open(const std::wstring& path, std::wstring& error);
    bool isOpen() const { return module_ != nullptr; }
    HMODULE handle() const { return module_; }

    PluginIdentity identity() const;
    int load(const HostApi* host);
    int unload();
    // Frees the library; any plug-in thread still running would crash, so
    // only call this after unload.
    void close();
    // Forgets the library without freeing it: code that may still run in it
    // stays mapped until the process ends.
    void abandon();

private:
    HMODULE module_ = nullptr;
    QueryPlugInfoFn query_ = nullptr;
    PluginLoadFn load_ = nullptr;
    PluginUnloadFn unload_ = nullptr;
};
