#pragma once
// The identity record the host reads through queryPlugInfo.
#include <cstddef>
#include <cstdint>

struct PluginInfo {
    uint32_t size;
    uint32_t reserved0;
    const wchar_t* name;
    const wchar_t* description;
    const wchar_t* copyright;
    const wchar_t* authorName;
    const wchar_t* authorEmail;
    const wchar_t* webAddress;
    const wchar_t* extraText;
    uint32_t value64; // the host's meaning; carried byte for byte
    uint32_t value68;
    uint32_t value72;
    uint32_t value76;
    uint32_t value80;
    uint32_t value84;
    uint64_t value88;
    const wchar_t* guid;
    uint8_t reserved104[24];
};
static_assert(sizeof(PluginInfo) == 128);
static_assert(offsetof(PluginInfo, name) == 8);
static_assert(offsetof(PluginInfo, extraText) == 56);
static_assert(offsetof(PluginInfo, value64) == 64);
static_assert(offsetof(PluginInfo, value80) == 80);
static_assert(offsetof(PluginInfo, value88) == 88);
static_assert(offsetof(PluginInfo, guid) == 96);
static_assert(offsetof(PluginInfo, reserved104) == 104);
