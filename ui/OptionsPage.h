#pragma once
// The options page: one multi-line edit box holding the feed list.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/UniqueHandle.h"

class HostLink;
class SettingsStore;
struct OptionsPageEvent;

class OptionsPage {
public:
    // The host's callback; its data is the UiParts the page belongs to.
    static intptr_t onEvent(intptr_t pageEvent, intptr_t unused, void* callbackData);

    // The settings, link and module of the current load; set at load.
    // `listSaved` is called after the user's list is stored.
    void bind(SettingsStore* settings, std::shared_ptr<const HostLink> link, HINSTANCE module,
              std::function<void()> listSaved = nullptr);
    // Destroys the edit box, if one is open.
    void closeEditor();

    UniqueWindow editor;

private:
    void handle(OptionsPageEvent& event);
    HWND createEditor(HWND parent, int x, int y, int width, int height) const;
    void saveEditor() const;

    SettingsStore* settings_ = nullptr;
    std::shared_ptr<const HostLink> link_;
    HINSTANCE module_ = nullptr;
    std::function<void()> listSaved_;
};
