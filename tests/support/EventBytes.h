#pragma once
// Event records as the host lays them out, built byte by byte at their offsets,
// so the tests do not lean on the plug-in's own record structs.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class EventBytes {
public:
    explicit EventBytes(size_t size, uint8_t fill = 0) : words_((size + 7) / 8), size_(size)
    {
        memset(words_.data(), fill, words_.size() * 8);
    }

    template <typename T>
    void put(size_t offset, T value)
    {
        memcpy(bytes() + offset, &value, sizeof(T));
    }
    template <typename T>
    T get(size_t offset) const
    {
        T value{};
        memcpy(&value, bytes() + offset, sizeof(T));
        return value;
    }
    // Wide characters at an offset, up to count of them (NULs included).
    std::wstring wide(size_t offset, size_t count) const
    {
        std::wstring text(count, L'\0');
        memcpy(text.data(), bytes() + offset, count * sizeof(wchar_t));
        return text;
    }
    uint8_t byte(size_t offset) const { return bytes()[offset]; }
    size_t size() const { return size_; }
    intptr_t address() { return reinterpret_cast<intptr_t>(words_.data()); }

private:
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(words_.data()); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(words_.data()); }
    std::vector<uint64_t> words_; // 8-byte aligned, as the host's records are
    size_t size_;
};

// The timer's event: code at 16.
inline EventBytes timerEvent(int32_t code)
{
    EventBytes event(32, 0);
    event.put<int32_t>(16, code);
    return event;
}

// The panel's event: code at 16, rectangle at 28, parent window at 56.
inline EventBytes panelEvent(int32_t code, RECT rect = {}, HWND parent = nullptr)
{
    EventBytes event(64, 0x5A);
    event.put<int32_t>(16, code);
    event.put<int32_t>(28, rect.left);
    event.put<int32_t>(32, rect.top);
    event.put<int32_t>(36, rect.right);
    event.put<int32_t>(40, rect.bottom);
    event.put<HWND>(56, parent);
    return event;
}

// The options page's event: code at 16, parent at 24, x, y, width, height at 40 to 52,
// caption written at 64, hint at 576. The host's hint field is sized here for 64 characters.
constexpr size_t kCaptionOffset = 64;
constexpr size_t kHintOffset = 576;
constexpr size_t kHintRoom = 64;
constexpr uint8_t kUntouched = 0xA5;

struct Place {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

inline EventBytes pageEvent(int32_t code, HWND parent, Place place = {})
{
    EventBytes event(kHintOffset + kHintRoom * sizeof(wchar_t), kUntouched);
    event.put<int32_t>(16, code);
    event.put<HWND>(24, parent);
    event.put<int32_t>(40, place.x);
    event.put<int32_t>(44, place.y);
    event.put<int32_t>(48, place.width);
    event.put<int32_t>(52, place.height);
    return event;
}
