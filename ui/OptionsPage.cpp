#include "ui/OptionsPage.h"

#include <cwchar>
#include <string>
#include <vector>

#include "host/HostProtocol.h"
#include "services/CallbackGuard.h"
#include "services/SettingsStore.h"
#include "ui/UiParts.h"

namespace {

const wchar_t kCaption[] = L"RSS";
const wchar_t kHint[] = L"Adresy kanałów (nowy kanał - Ctrl+Enter)";
static_assert(sizeof(kHint) / sizeof(wchar_t) == 41, "the hint and its NUL are 41 characters");

// No ES_WANTRETURN: in the options dialog Enter is the dialog's, Ctrl+Enter a new line.
constexpr DWORD kEditorStyle = WS_CHILD | WS_BORDER | ES_MULTILINE;
static_assert(kEditorStyle == 0x40800004);

void writeTexts(OptionsPageEvent& event)
{
    wmemcpy(event.caption, kCaption, sizeof(kCaption) / sizeof(wchar_t));
    wmemcpy(event.hint, kHint, sizeof(kHint) / sizeof(wchar_t));
}

} // namespace

intptr_t OptionsPage::onEvent(intptr_t pageEvent, intptr_t, void* callbackData)
{
    if (pageEvent == 0)
        return 0;
    auto& event = *reinterpret_cast<OptionsPageEvent*>(pageEvent);
    writeTexts(event);
    if (callbackData == nullptr)
        return 0;
    // Out of memory while reading or saving the list: the page stays as it was.
    OptionsPage& page = static_cast<UiParts*>(callbackData)->optionsPage;
    return guarded(page.link_.get(), L"options page", intptr_t{0}, [&event, &page] {
        page.handle(event);
        return intptr_t{0};
    });
}

void OptionsPage::bind(SettingsStore* settings, std::shared_ptr<const HostLink> link, HINSTANCE module,
                       std::function<void()> listSaved)
{
    settings_ = settings;
    link_ = std::move(link);
    module_ = module;
    listSaved_ = std::move(listSaved);
}

void OptionsPage::closeEditor()
{
    editor.reset();
}

void OptionsPage::handle(OptionsPageEvent& event)
{
    if (!editor)
        editor.reset(createEditor(static_cast<HWND>(event.parent), event.x, event.y, event.width, event.height));
    if (!editor)
        return; // no box to show or save: storing its "text" would wipe the list
    switch (event.code) {
    case kPageShow:
        ShowWindow(editor.get(), SW_SHOW);
        break;
    case kPageHide:
        ShowWindow(editor.get(), SW_HIDE);
        break;
    case kPageConfirm:
        saveEditor();
        closeEditor();
        break;
    case kPageApply:
        saveEditor();
        break;
    case kPageCancel:
        closeEditor();
        break;
    case kPageMove:
        MoveWindow(editor.get(), event.x, event.y, event.width, event.height, FALSE);
        break;
    default:
        break;
    }
}

HWND OptionsPage::createEditor(HWND parent, int x, int y, int width, int height) const
{
    std::wstring feeds = settings_ != nullptr ? settings_->read(kFeedsKey) : std::wstring();
    HWND box =
        CreateWindowExW(0, L"EDIT", feeds.c_str(), kEditorStyle, x, y, width, height, parent, nullptr, module_, nullptr);
    if (box != nullptr)
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return box;
}

void OptionsPage::saveEditor() const
{
    if (!IsWindow(editor.get()))
        return; // a vanished box has no text; storing "" would wipe the list
    int length = GetWindowTextLengthW(editor.get());
    if (length < 0)
        return;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 2, L'\0');
    int copied = GetWindowTextW(editor.get(), buffer.data(), length + 1);
    if (copied < 0 || copied > length)
        return;
    if (settings_ == nullptr || settings_->handle() == 0)
        return;
    settings_->writeFeeds(std::wstring(buffer.data(), static_cast<size_t>(copied)));
    if (listSaved_)
        listSaved_();
}
