#pragma once
// The plug-in's own identity record.
#include "host/PluginInfo.h"

const PluginInfo& pluginInfo();

// The GUID the record names; also the options page's removal key.
extern const wchar_t* const kPluginGuid;
