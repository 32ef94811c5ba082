#include "core/PluginInfo.h"

const wchar_t* const kPluginGuid = L"{6E0F3C52-8B1D-4A77-9C2E-3F5A1B7D9E41}";

const PluginInfo& pluginInfo()
{
    static const PluginInfo info = {
        sizeof(PluginInfo),
        0,
        L"quillFeed",
        L"RSS",
        L"Copyright (C) 2026 The quillFeed project",
        L"The quillFeed project",
        L"quillfeed@users.noreply.github.com",
        L"https://github.com/quillfeed/quillFeed",
        L"",
        1200,
        0x00020000,
        0x00020000,
        0,
        10,
        0,
        0,
        kPluginGuid,
        {},
    };
    return info;
}
