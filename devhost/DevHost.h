#pragma once
// The stand-in messenger: answers every service the plug-in calls, loads
// the plug-in library through its exports, and runs refreshes on request.
// One DevHost may exist per process (the host table holds a plain function).
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "devhost/HostEvents.h"
#include "devhost/LookService.h"
#include "devhost/OptionsPages.h"
#include "devhost/PanelHost.h"
#include "devhost/PluginModule.h"
#include "devhost/ServiceDispatcher.h"
#include "devhost/SettingsService.h"
#include "devhost/TimerService.h"

struct DevHostSetup {
    std::wstring configPath;
    TimerService::Mode timers = TimerService::Mode::Manual;
    // Problems the host meets on the way (damaged file, unknown service).
    std::function<void(const std::wstring&)> report;
};

class DevHost {
public:
    explicit DevHost(DevHostSetup setup);
    ~DevHost();
    DevHost(const DevHost&) = delete;
    DevHost& operator=(const DevHost&) = delete;

    // The configuration file must parse before the plug-in may use it.
    bool checkConfig(std::wstring& error) const;
    // Host side: the stored feed list, or nullopt when none is stored.
    bool readFeedList(std::optional<std::wstring>& list, std::wstring& error) const;
    bool storeFeedList(const std::wstring& list, std::wstring& error);

    bool load(const std::wstring& dllPath, std::wstring& error);
    bool loaded() const { return loaded_; }
    // Sends one timer event and waits until its worker has ended; false on
    // timeout or when the plug-in registered no timer.
    bool refresh(bool notify, DWORD timeoutMs);
    // Closes the panel, calls pluginUnload and frees the library, unless a
    // refresh may still run in it (then the library stays mapped).
    void unload();

    PluginIdentity identity() const { return plugin_.identity(); }
    const HostApi* api() const { return dispatcher_.api(); }
    HostEvents& events() { return events_; }
    const HostEvents& events() const { return events_; }
    PanelHost& panels() { return panels_; }
    OptionsPages& optionsPages() { return pages_; }
    TimerService& timers() { return timers_; }
    LookService& look() { return look_; }
    const std::wstring& configPath() const { return settings_.configPath(); }
    size_t openSettings() const { return settings_.openHandles(); }

private:
    std::function<void(const std::wstring&)> report_;
    ServiceDispatcher dispatcher_;
    SettingsService settings_;
    HostEvents events_;
    LookService look_;
    PanelHost panels_;
    OptionsPages pages_;
    TimerService timers_; // after the services its events reach
    PluginModule plugin_;
    bool loaded_ = false;
    size_t eventsAtLoad_ = 0; // refresh events sent before this load
    size_t endedAtLoad_ = 0;  // workers reaped before this load
};
