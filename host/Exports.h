#pragma once
// The three functions a host looks up in the library, by these names and
// with these signatures.
#include "host/HostApi.h"
#include "host/PluginInfo.h"

inline constexpr char kQueryPlugInfoExport[] = "queryPlugInfo";
inline constexpr char kPluginLoadExport[] = "pluginLoad";
inline constexpr char kPluginUnloadExport[] = "pluginUnload";

using QueryPlugInfoFn = const PluginInfo* (*)();
using PluginLoadFn = int (*)(unsigned long hostVersion, const HostApi* host); // hostVersion: a DWORD
using PluginUnloadFn = int (*)();
