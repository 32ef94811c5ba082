#pragma once
// The options page: one multi-line edit box holding the feed list.
#include <windows.h>

#include <cstdint>

namespace OptionsPage {
intptr_t onEvent(intptr_t pageEvent, intptr_t unused, void* callbackData);
HWND createEditor(HWND parent, HINSTANCE module, int x, int y, int width, int height);
void saveEditor(HWND editor);
} // namespace OptionsPage
