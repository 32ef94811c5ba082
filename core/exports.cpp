// The library's entry point and its three exports. Nothing may throw into the host.
#include <windows.h>

#include <type_traits>

#include "core/Plugin.h"
#include "core/PluginInfo.h"
#include "host/Exports.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD, LPVOID)
{
    Plugin::instance().module = module;
    return TRUE;
}

extern "C" const PluginInfo* queryPlugInfo()
{
    Plugin::instance();
    return &pluginInfo();
}

extern "C" int pluginLoad(DWORD, const HostApi* host)
{
    try {
        return Plugin::instance().load(host);
    } catch (...) {
        return 0;
    }
}

extern "C" int pluginUnload()
{
    try {
        return Plugin::instance().unload();
    } catch (...) {
        return 0;
    }
}

static_assert(std::is_same_v<decltype(&queryPlugInfo), QueryPlugInfoFn>);
static_assert(std::is_same_v<decltype(&pluginLoad), PluginLoadFn>);
static_assert(std::is_same_v<decltype(&pluginUnload), PluginUnloadFn>);
