#pragma once
// Event records the host passes to our callbacks. We read (and, for the
// options page, write) only the fields named here; the rest is the host's.
#include <cstddef>
#include <cstdint>

struct TimerEvent {
    uint8_t hostData[16];
    int32_t code; // 1: silent refresh, 3: notifying refresh
    uint8_t hostTail[12];
};
static_assert(offsetof(TimerEvent, code) == 16);

struct PanelEvent {
    uint8_t hostData[16];
    int32_t code;
    uint8_t hostData2[8];
    int32_t left, top, right, bottom; // parent's client coordinates
    uint8_t hostData3[12];
    void* parent; // HWND, read at the create event
};
static_assert(offsetof(PanelEvent, code) == 16);
static_assert(offsetof(PanelEvent, left) == 28);
static_assert(offsetof(PanelEvent, bottom) == 40);
static_assert(offsetof(PanelEvent, parent) == 56);
static_assert(sizeof(PanelEvent) == 64);

constexpr size_t kOptionsCaptionChars = 256;
constexpr size_t kOptionsHintChars = 256; // the host's; we write 41 characters

struct OptionsPageEvent {
    uint8_t hostData[16];
    int32_t code;
    uint8_t hostData2[4];
    void* parent; // HWND
    uint8_t hostData3[8];
    int32_t x, y, width, height;
    uint8_t hostData4[8];
    wchar_t caption[kOptionsCaptionChars];
    wchar_t hint[kOptionsHintChars];
};
static_assert(offsetof(OptionsPageEvent, code) == 16);
static_assert(offsetof(OptionsPageEvent, parent) == 24);
static_assert(offsetof(OptionsPageEvent, x) == 40);
static_assert(offsetof(OptionsPageEvent, height) == 52);
static_assert(offsetof(OptionsPageEvent, caption) == 64);
static_assert(offsetof(OptionsPageEvent, hint) == 576);
