#pragma once
// Event records the host passes to our callbacks. We read (and, for the
// options page, write) only the fields named here; the rest is the host's.
#include <cstddef>
#include <cstdint>

// Timer event codes: the refresh timer answers these two.
inline constexpr int32_t kSilentRefreshEvent = 1;
inline constexpr int32_t kNotifyingRefreshEvent = 3;

struct TimerEvent {
    uint8_t hostData[16];
    int32_t code; // 1: silent refresh, 3: notifying refresh
    uint8_t hostTail[12];
};
static_assert(offsetof(TimerEvent, code) == 16);

inline constexpr int32_t kPanelShow = 1;
inline constexpr int32_t kPanelHide = 2;
inline constexpr int32_t kPanelMove = 3;
inline constexpr int32_t kPanelCreate = 7;
inline constexpr int32_t kPanelDestroy = 8;

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

inline constexpr int32_t kPageShow = 1;
inline constexpr int32_t kPageHide = 2;
inline constexpr int32_t kPageConfirm = 3;
inline constexpr int32_t kPageApply = 4;
inline constexpr int32_t kPageCancel = 5;
inline constexpr int32_t kPageMove = 6;

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
