#pragma once
// "WTW/Settings/*": binds the plug-in's settings handle to its configuration
// file. Calls come from the host thread and from refresh workers at once,
// so every operation holds one lock.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "devhost/ServiceDispatcher.h"
#include "devhost/SettingsFile.h"

class SettingsService {
public:
    using Reporter = std::function<void(const std::wstring& problem)>;

    SettingsService(std::wstring configPath, Reporter report);
    void install(ServiceDispatcher& dispatcher);

    const std::wstring& configPath() const { return configPath_; }
    size_t openHandles() const;

private:
    struct Open {
        explicit Open(const std::wstring& path) : file(path) {}
        SettingsFile file;
        std::wstring lastProblem; // reported once until it changes
    };

    intptr_t getMyConfigFile(intptr_t record);
    intptr_t init(intptr_t path);
    intptr_t read(intptr_t handle);
    intptr_t get(intptr_t record);
    intptr_t set(intptr_t record);
    intptr_t write(intptr_t handle);
    intptr_t destroy(intptr_t handle);
    Open* find(intptr_t handle);
    void reportOnce(Open& open, const std::wstring& problem);

    std::wstring configPath_;
    Reporter report_;
    mutable std::mutex mutex_;
    std::map<intptr_t, std::unique_ptr<Open>> open_;
    intptr_t nextHandle_ = 0x5E0001;
};
