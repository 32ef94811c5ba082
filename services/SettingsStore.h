#pragma once
// Binds the host's settings services to the plug-in's configuration file.
// Holds no copy of the value: reads go to the host, writes are saved at once.
// Opened at load with that load's host table and module; read from the host's
// thread and from refresh workers.
#include <atomic>
#include <cstdint>
#include <string>

#include "host/HostApi.h"

class SettingsStore {
public:
    // Opens the configuration file of `module`; does nothing when already open.
    void open(const HostApi* host, void* module);
    std::wstring read(const wchar_t* key) const;
    intptr_t writeFeeds(const std::wstring& text) const;
    void close();
    intptr_t handle() const; // zero when the settings are not open
    // The configuration file the host named at the last open; read on the host's thread only.
    const std::wstring& configFile() const { return configFile_; }

private:
    bool getValue(const wchar_t* key, intptr_t settings, wchar_t* buffer, uint32_t capacity) const;

    std::atomic<const HostApi*> host_{nullptr};
    std::atomic<intptr_t> module_{0};
    std::atomic<intptr_t> settings_{0};
    std::wstring configFile_;
};
