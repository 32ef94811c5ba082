#include "devhost/OptionsDialog.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using OptionsDialog::kApplyButton;
using OptionsDialog::kHintLabel;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kHintHeight = 20;

struct DialogState {
    const OptionsPageInfo* page = nullptr;
    std::unique_ptr<OptionsPageSession> session;
};

// An empty dialog frame; the controls are made at WM_INITDIALOG in pixels.
std::vector<WORD> dialogTemplate(const std::wstring& title)
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header->cx = 300;
    header->cy = 190;
    words.push_back(0); // no menu
    words.push_back(0); // the standard dialog class
    words.insert(words.end(), title.begin(), title.end());
    words.push_back(0);
    words.push_back(8); // point size, then the face name
    const std::wstring face = L"MS Shell Dlg";
    words.insert(words.end(), face.begin(), face.end());
    words.push_back(0);
    return words;
}

HWND addControl(HWND dialog, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id, const RECT& at)
{
    HWND control = CreateWindowExW(
        0, windowClass, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right - at.left, at.bottom - at.top,
        dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

void layOut(HWND dialog, DialogState& state)
{
    RECT client{};
    GetClientRect(dialog, &client);
    const int buttonsTop = client.bottom - kMargin - kButtonHeight;
    const RECT hint{kMargin, kMargin, client.right - kMargin, kMargin + kHintHeight};
    const RECT page{kMargin, hint.bottom + 4, client.right - kMargin, buttonsTop - kMargin};
    addControl(dialog, L"STATIC", L"", SS_LEFT, kHintLabel, hint);
    int left = client.right - kMargin - 3 * kButtonWidth - 2 * kMargin;
    const std::pair<const wchar_t*, int> buttons[] = {{L"OK", IDOK}, {L"Apply", kApplyButton}, {L"Cancel", IDCANCEL}};
    for (const auto& button : buttons) {
        const DWORD style = WS_TABSTOP | (button.second == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        addControl(dialog, L"BUTTON", button.first, style, button.second,
                   RECT{left, buttonsTop, left + kButtonWidth, buttonsTop + kButtonHeight});
        left += kButtonWidth + kMargin;
    }
    state.session = std::make_unique<OptionsPageSession>(*state.page, dialog, page);
}

void initialise(HWND dialog, DialogState& state)
{
    layOut(dialog, state);
    state.session->send(kPageMove); // the first event makes the page's controls
    state.session->send(kPageShow);
    SetDlgItemTextW(dialog, kHintLabel, state.session->hint().c_str());
    SetWindowTextW(dialog, (L"Options \u2014 " + state.session->caption()).c_str());
    if (HWND editor = state.session->editor())
        SetFocus(editor);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        initialise(dialog, *reinterpret_cast<DialogState*>(lParam));
        return FALSE; // focus is set already
    case WM_COMMAND:
        if (state == nullptr || !state->session)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            state->session->send(kPageConfirm);
            EndDialog(dialog, IDOK);
            return TRUE;
        case kApplyButton:
            state->session->send(kPageApply);
            return TRUE;
        case IDCANCEL: // the Cancel button, Esc and the close box
            state->session->send(kPageCancel);
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

namespace OptionsDialog {

void run(HWND owner, const OptionsPageInfo& page)
{
    DialogState state;
    state.page = &page;
    const std::vector<WORD> frame = dialogTemplate(L"Options");
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(frame.data()), owner,
                            dialogProc, reinterpret_cast<LPARAM>(&state));
}

} // namespace OptionsDialog
