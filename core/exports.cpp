// The library's entry point and its three exports. Nothing may throw into the host.
#include <windows.h>

#include <type_traits>

#include "core/Plugin.h"
#include "core/PluginInfo.h"
#include "host/Exports.h"
#include "services/CallbackGuard.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD, LPVOID)
{
    Plugin::instance().module = module;
    return TRUE;
}

extern "C" const PluginInfo* queryPlugInfo()
{
    // No load, no log: nothing swallowed here can be told.
    return guarded(nullptr, L"queryPlugInfo", &pluginInfo(), [] {
        Plugin::instance();
        return &pluginInfo();
    });
}

extern "C" int pluginLoad(DWORD, const HostApi* host)
{
    Plugin& plugin = Plugin::instance();
    return guarded(plugin.link, L"pluginLoad", 0, [host, &plugin] { return plugin.load(host); });
}

extern "C" int pluginUnload()
{
    Plugin& plugin = Plugin::instance();
    return guarded(plugin.link, L"pluginUnload", 0, [&plugin] { return plugin.unload(); });
}

static_assert(std::is_same_v<decltype(&queryPlugInfo), QueryPlugInfoFn>);
static_assert(std::is_same_v<decltype(&pluginLoad), PluginLoadFn>);
static_assert(std::is_same_v<decltype(&pluginUnload), PluginUnloadFn>);
