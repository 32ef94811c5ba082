// The devhost's options dialog around the real plug-in's page: Apply
// stores what was typed, OK stores and closes, Cancel keeps the stored list.
#include <gtest/gtest.h>

#include <thread>

#include "E2eSupport.h"
#include "HostedPlugin.h"
#include "devhost/OptionsDialog.h"
#include "devhost/SettingsFile.h"

namespace {

std::wstring textOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// The dialog that the given thread shows, once it is up.
HWND waitForDialog(DWORD thread)
{
    for (int tries = 0; tries < 1000; ++tries) {
        HWND found = nullptr;
        EnumThreadWindows(
            thread,
            [](HWND window, LPARAM result) -> BOOL {
                wchar_t name[32] = {};
                GetClassNameW(window, name, 32);
                if (std::wstring(name) != L"#32770" || !IsWindowVisible(window))
                    return TRUE;
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found != nullptr)
            return found;
        Sleep(10);
    }
    return nullptr;
}

std::wstring storedList(const std::wstring& config)
{
    SettingsFile file(config);
    std::wstring error;
    return file.load(error) ? file.get(kFeedsKey).value_or(L"(none)") : L"(damaged) " + error;
}

struct DialogRun {
    std::wstring title, hint, shownText, afterApply;
    bool found = false;
};

// Shows the dialog on this thread while another thread types and clicks, as a user would.
DialogRun runDialog(HostedPlugin& plugin, const std::wstring& config, const std::wstring& typed, int closeWith)
{
    DialogRun run;
    const DWORD thread = GetCurrentThreadId();
    std::thread user([&] {
        HWND dialog = waitForDialog(thread);
        if (dialog == nullptr)
            return;
        run.found = true;
        HWND editor = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        run.title = textOf(dialog);
        run.hint = textOf(GetDlgItem(dialog, OptionsDialog::kHintLabel));
        run.shownText = textOf(editor);
        SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        if (closeWith == IDOK) {
            SendMessageW(GetDlgItem(dialog, OptionsDialog::kApplyButton), BM_CLICK, 0, 0);
            run.afterApply = storedList(config);
        }
        SendMessageW(GetDlgItem(dialog, closeWith), BM_CLICK, 0, 0);
    });
    OptionsDialog::run(plugin.frame.get(), plugin.host.optionsPages().pages().front());
    user.join();
    return run;
}

TEST(OptionsDialogTest, ApplyAndOkStoreTheTypedListAndCancelKeepsIt)
{
    ScratchFolder scratch;
    const std::wstring config = scratch.path(L"quillFeed.cfg");
    HostedPlugin plugin(config);
    std::wstring error;
    ASSERT_TRUE(plugin.host.storeFeedList(L"http://127.0.7.15/old.xml", error)) << error;
    ASSERT_TRUE(plugin.load());
    ASSERT_EQ(plugin.host.optionsPages().pages().size(), 1u);
    const std::wstring typed = L"http://127.0.7.15/a.xml\r\nhttp://127.0.7.15/b.xml";

    const DialogRun confirmed = runDialog(plugin, config, typed, IDOK);
    ASSERT_TRUE(confirmed.found);
    EXPECT_EQ(confirmed.title, L"Options \u2014 RSS");
    EXPECT_EQ(confirmed.hint, L"Adresy kanałów (nowy kanał - Ctrl+Enter)");
    EXPECT_EQ(confirmed.shownText, L"http://127.0.7.15/old.xml");
    EXPECT_EQ(confirmed.afterApply, typed);
    EXPECT_EQ(storedList(config), typed);

    const DialogRun cancelled = runDialog(plugin, config, L"http://127.0.7.15/dropped.xml", IDCANCEL);
    ASSERT_TRUE(cancelled.found);
    EXPECT_EQ(cancelled.shownText, typed);
    EXPECT_EQ(storedList(config), typed);
}

} // namespace
