#pragma once
// Checks one feed address: read, store, announce new items, report failures.
#include <cstddef>
#include <cstdint>

struct RefreshTask;

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

void checkFeed(const RefreshTask& task, const wchar_t* address) noexcept;
