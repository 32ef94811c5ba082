#pragma once
// Records handed to the host's services: at load and unload, for settings,
// log lines, notifications and news entries.
// Every record starts with its own size; unused fields stay zero.
#include <cstddef>
#include <cstdint>

#include "host/HostApi.h"

struct ImageLoadRecord {
    uint32_t size = sizeof(ImageLoadRecord);
    uint32_t reserved0 = 0;
    const wchar_t* imageId = nullptr;
    uint8_t reserved1[32] = {};
    intptr_t resourceId = 0; // an integer resource id in a pointer-sized field
    void* module = nullptr;
    void* reserved2 = nullptr;
};
static_assert(sizeof(ImageLoadRecord) == 72);
static_assert(offsetof(ImageLoadRecord, imageId) == 8);
static_assert(offsetof(ImageLoadRecord, resourceId) == 48);
static_assert(offsetof(ImageLoadRecord, module) == 56);

struct OptionsPageRecord {
    uint32_t size = sizeof(OptionsPageRecord);
    uint32_t reserved0 = 0;
    const wchar_t* pageId = nullptr;
    const wchar_t* parentGroupId = nullptr;
    const wchar_t* caption = nullptr;
    uint8_t reserved1[16] = {};
    const wchar_t* iconId = nullptr;
    HostCallback callback = nullptr;
    void* callbackData = nullptr;
    void* reserved2 = nullptr;
};
static_assert(sizeof(OptionsPageRecord) == 80);
static_assert(offsetof(OptionsPageRecord, pageId) == 8);
static_assert(offsetof(OptionsPageRecord, parentGroupId) == 16);
static_assert(offsetof(OptionsPageRecord, caption) == 24);
static_assert(offsetof(OptionsPageRecord, iconId) == 48);
static_assert(offsetof(OptionsPageRecord, callback) == 56);
static_assert(offsetof(OptionsPageRecord, callbackData) == 64);

struct PanelRecord {
    uint32_t size = sizeof(PanelRecord);
    uint32_t reserved0 = 0;
    void* reserved1 = nullptr;
    const wchar_t* iconId = nullptr;
    void* reserved2 = nullptr;
    const wchar_t* panelId = nullptr;
    const wchar_t* caption = nullptr;
    void* reserved3 = nullptr;
    HostCallback callback = nullptr;
    void* callbackData = nullptr;
};
static_assert(sizeof(PanelRecord) == 72);
static_assert(offsetof(PanelRecord, iconId) == 16);
static_assert(offsetof(PanelRecord, panelId) == 32);
static_assert(offsetof(PanelRecord, caption) == 40);
static_assert(offsetof(PanelRecord, callback) == 56);
static_assert(offsetof(PanelRecord, callbackData) == 64);

struct TimerRecord {
    uint32_t size = sizeof(TimerRecord);
    uint32_t reserved0 = 0;
    const wchar_t* timerId = nullptr;
    uint32_t intervalMs = 0;
    uint32_t reserved1 = 0;
    HostCallback callback = nullptr;
    uint8_t reserved2[16] = {};
};
static_assert(sizeof(TimerRecord) == 48);
static_assert(offsetof(TimerRecord, timerId) == 8);
static_assert(offsetof(TimerRecord, intervalMs) == 16);
static_assert(offsetof(TimerRecord, callback) == 24);

struct ConfigPathRecord {
    uint32_t size = sizeof(ConfigPathRecord);
    uint32_t reserved0 = 0;
    wchar_t* buffer = nullptr;
    uint32_t capacity = 0;
    uint32_t reserved1 = 0;
    void* reserved2 = nullptr;
};
static_assert(sizeof(ConfigPathRecord) == 32);
static_assert(offsetof(ConfigPathRecord, buffer) == 8);
static_assert(offsetof(ConfigPathRecord, capacity) == 16);

// Used for both Get (buffer to fill, its capacity) and Set (text, its length).
struct SettingsValueRecord {
    uint32_t size = sizeof(SettingsValueRecord);
    uint32_t reserved0 = 0;
    const wchar_t* key = nullptr;
    uint32_t valueType = 0;
    uint32_t reserved1 = 0;
    wchar_t* text = nullptr;
    uint32_t length = 0;
    uint32_t reserved2 = 0;
    intptr_t settings = 0;
};
static_assert(sizeof(SettingsValueRecord) == 48);
static_assert(offsetof(SettingsValueRecord, key) == 8);
static_assert(offsetof(SettingsValueRecord, valueType) == 16);
static_assert(offsetof(SettingsValueRecord, text) == 24);
static_assert(offsetof(SettingsValueRecord, length) == 32);
static_assert(offsetof(SettingsValueRecord, settings) == 40);

struct LogRecord {
    uint32_t size = sizeof(LogRecord);
    int32_t level = 0;
    const wchar_t* moduleName = nullptr;
    const wchar_t* message = nullptr;
    uint8_t reserved[16] = {};
};
static_assert(sizeof(LogRecord) == 40);
static_assert(offsetof(LogRecord, level) == 4);
static_assert(offsetof(LogRecord, moduleName) == 8);
static_assert(offsetof(LogRecord, message) == 16);

struct NotifyRecord {
    uint32_t size = sizeof(NotifyRecord);
    uint32_t reserved0 = 0;
    const wchar_t* text = nullptr; // null in item notifications
    const wchar_t* title = nullptr;
    void* reserved1 = nullptr;
    const wchar_t* icon = nullptr;
    uint32_t flags = 0;
    uint8_t reserved2[44] = {};
};
static_assert(sizeof(NotifyRecord) == 88);
static_assert(offsetof(NotifyRecord, text) == 8);
static_assert(offsetof(NotifyRecord, title) == 16);
static_assert(offsetof(NotifyRecord, icon) == 32);
static_assert(offsetof(NotifyRecord, flags) == 40);

struct NewsEntryRecord {
    uint32_t size = sizeof(NewsEntryRecord);
    uint32_t reserved0 = 0;
    const wchar_t* id = nullptr;
    const wchar_t* title = nullptr;
    void* reserved1[2] = {};
    const wchar_t* channelTitle = nullptr;
    const wchar_t* link = nullptr;
    const wchar_t* icon = nullptr;
    uint8_t reserved2[40] = {};
    int64_t time = 0;
};
static_assert(sizeof(NewsEntryRecord) == 112);
static_assert(offsetof(NewsEntryRecord, id) == 8);
static_assert(offsetof(NewsEntryRecord, title) == 16);
static_assert(offsetof(NewsEntryRecord, channelTitle) == 40);
static_assert(offsetof(NewsEntryRecord, link) == 48);
static_assert(offsetof(NewsEntryRecord, icon) == 56);
static_assert(offsetof(NewsEntryRecord, time) == 104);

// A record a host service was given, or null when it is missing or shorter
// than the layout the caller reads.
template <typename Record>
Record* recordAt(intptr_t address)
{
    auto record = reinterpret_cast<Record*>(address);
    return record != nullptr && record->size >= sizeof(Record) ? record : nullptr;
}
