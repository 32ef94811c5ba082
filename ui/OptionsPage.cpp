#include "ui/OptionsPage.h"

#include <cwchar>
#include <exception>
#include <string>
#include <vector>

#include "core/EventRecords.h"
#include "core/Plugin.h"
#include "core/SettingsStore.h"

namespace {

const wchar_t kCaption[] = L"RSS";
const wchar_t kHint[] = L"Adresy kanałów (nowy kanał - Ctrl+Enter)";
static_assert(sizeof(kHint) / sizeof(wchar_t) == 41, "the hint and its NUL are 41 characters");

// No ES_WANTRETURN: in the options dialog Enter is the dialog's, Ctrl+Enter a new line.
constexpr DWORD kEditorStyle = WS_CHILD | WS_BORDER | ES_MULTILINE;
static_assert(kEditorStyle == 0x40800004);

enum PageEventCode : int32_t { kShow = 1, kHide = 2, kConfirm = 3, kApply = 4, kCancel = 5, kMove = 6 };

void writeTexts(OptionsPageEvent& event)
{
    wmemcpy(event.caption, kCaption, sizeof(kCaption) / sizeof(wchar_t));
    wmemcpy(event.hint, kHint, sizeof(kHint) / sizeof(wchar_t));
}

void closeEditor(Plugin& plugin)
{
    DestroyWindow(plugin.optionsEditor);
    plugin.optionsEditor = nullptr;
}

void handle(OptionsPageEvent& event, Plugin& plugin)
{
    if (plugin.optionsEditor == nullptr)
        plugin.optionsEditor = OptionsPage::createEditor(static_cast<HWND>(event.parent), plugin.module, event.x,
                                                         event.y, event.width, event.height);
    HWND editor = plugin.optionsEditor;
    if (editor == nullptr)
        return; // no box to show or save: storing its "text" would wipe the list
    switch (event.code) {
    case kShow:
        ShowWindow(editor, SW_SHOW);
        break;
    case kHide:
        ShowWindow(editor, SW_HIDE);
        break;
    case kConfirm:
        OptionsPage::saveEditor(editor);
        closeEditor(plugin);
        break;
    case kApply:
        OptionsPage::saveEditor(editor);
        break;
    case kCancel:
        closeEditor(plugin);
        break;
    case kMove:
        MoveWindow(editor, event.x, event.y, event.width, event.height, FALSE);
        break;
    default:
        break;
    }
}

} // namespace

namespace OptionsPage {

intptr_t onEvent(intptr_t pageEvent, intptr_t, void* callbackData)
{
    if (pageEvent == 0)
        return 0;
    auto& event = *reinterpret_cast<OptionsPageEvent*>(pageEvent);
    writeTexts(event);
    Plugin& plugin = callbackData != nullptr ? *static_cast<Plugin*>(callbackData) : Plugin::instance();
    try {
        handle(event, plugin);
    } catch (const std::exception&) {
        // Out of memory while reading or saving the list: the page stays as it was.
    }
    return 0;
}

HWND createEditor(HWND parent, HINSTANCE module, int x, int y, int width, int height)
{
    std::wstring feeds = SettingsStore::read(kFeedsKey);
    HWND editor =
        CreateWindowExW(0, L"EDIT", feeds.c_str(), kEditorStyle, x, y, width, height, parent, nullptr, module, nullptr);
    if (editor != nullptr)
        SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return editor;
}

void saveEditor(HWND editor)
{
    if (!IsWindow(editor))
        return; // a vanished box has no text; storing "" would wipe the list
    int length = GetWindowTextLengthW(editor);
    if (length < 0)
        return;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 2, L'\0');
    int copied = GetWindowTextW(editor, buffer.data(), length + 1);
    if (copied < 0 || copied > length)
        return;
    if (SettingsStore::handle() != 0)
        SettingsStore::writeFeeds(std::wstring(buffer.data(), static_cast<size_t>(copied)));
}

} // namespace OptionsPage
