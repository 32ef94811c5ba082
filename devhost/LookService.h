#pragma once
// "WTW/Graph/Load" and "WTW/GetThemeColor": the plug-in's images and the
// host's colours.
#include <windows.h>

#include <map>
#include <mutex>
#include <string>

#include "devhost/ServiceDispatcher.h"

// Colours in the host's form: red in bits 16-23, green 8-15, blue 0-7.
constexpr intptr_t kThemeTextColor = 0x1E2A3A;
constexpr intptr_t kThemeBackgroundColor = 0xFFFDF5;

struct LoadedImage {
    HMODULE module = nullptr;
    intptr_t resourceId = 0;
    std::string png; // the resource's bytes; empty when it was not found
};

class LookService {
public:
    void install(ServiceDispatcher& dispatcher);
    // A copy of the image registered under this id, if any.
    bool image(const std::wstring& id, LoadedImage& found) const;

    intptr_t loadImage(intptr_t record);
    static intptr_t themeColor(intptr_t index);

private:
    mutable std::mutex mutex_;
    std::map<std::wstring, LoadedImage> images_;
};

// An icon made from PNG bytes, or null; the caller destroys it.
HICON iconFromPng(const std::string& png, int size);
