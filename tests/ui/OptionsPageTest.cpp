// The options page: its edit box, the caption and hint it writes, and what
// apply, confirm and cancel store through the host's settings.
#include <windows.h>

#include <gtest/gtest.h>

#include "EventBytes.h"
#include "PluginUnderTest.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"
#include "ui/OptionsPage.h"

namespace {

const std::wstring kStored = L"http://127.0.6.1/a.xml\r\nhttp://127.0.6.1/b.xml";
const std::wstring kHint = L"Adresy kanałów (nowy kanał - Ctrl+Enter)";
constexpr Place kPlace = {12, 34, 300, 150};
constexpr DWORD kEditorStyle = 0x40800004; // child, border, multi-line

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class OptionsPageTest : public PluginUnderTest {
protected:
    void SetUp() override
    {
        host.setValue(kFeedsKey, kStored);
        PluginUnderTest::SetUp();
        host.clearCalls();
    }

    // Sends one event as the host does: the record, an unused argument and the plug-in record.
    EventBytes send(int32_t code, Place place = kPlace)
    {
        EventBytes event = pageEvent(code, parent.handle(), place);
        EXPECT_EQ(OptionsPage::onEvent(event.address(), 0, static_cast<UiParts*>(&plugin)), 0) << "code " << code;
        return event;
    }
    HWND editor() const { return plugin.optionsPage.editor.get(); }
    std::optional<std::wstring> stored() const { return host.value(kFeedsKey); }
    std::vector<RecordedCall> writes() const { return host.callsTo(L"WTW/Settings/Set"); }
};

TEST_F(OptionsPageTest, FirstEventCreatesTheBoxFromTheStoredList)
{
    CreationRecorder recorder;
    send(1);
    ASSERT_NE(editor(), nullptr);
    auto edits = recorder.ofClass(L"Edit");
    ASSERT_EQ(edits.size(), 1u);
    const CreatedWindow& made = edits[0];
    EXPECT_EQ(made.window, editor());
    EXPECT_EQ(made.style, kEditorStyle);
    EXPECT_EQ(made.exStyle, 0u);
    EXPECT_EQ(made.title, kStored);
    EXPECT_EQ(made.x, 12);
    EXPECT_EQ(made.y, 34);
    EXPECT_EQ(made.width, 300);
    EXPECT_EQ(made.height, 150);
    EXPECT_EQ(made.parent, parent.handle());
    EXPECT_EQ(made.menu, nullptr);
    EXPECT_EQ(made.instance, plugin.module);
    EXPECT_EQ(made.createParams, nullptr);

    EXPECT_EQ(windowText(editor()), kStored);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(editor(), WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_NE(GetWindowLongPtrW(editor(), GWL_STYLE) & WS_VISIBLE, 0) << "shown by event 1";
    EXPECT_EQ(host.count(L"WTW/Settings/Get"), 1u) << "the list is read once, when the box is made";
    EXPECT_TRUE(writes().empty());
}

TEST_F(OptionsPageTest, UnknownFirstEventCreatesAHiddenBox)
{
    send(42);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(editor(), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(windowText(editor()), kStored);
}

TEST_F(OptionsPageTest, EveryEventWritesCaptionAndHintFirst)
{
    // Codes 3 and 5 close the box again; each event still writes both texts.
    for (int32_t code : {1, 2, 3, 4, 5, 6, 0, 7, -1, 1000}) {
        EventBytes event = send(code);
        EXPECT_EQ(event.wide(kCaptionOffset, 4), std::wstring(L"RSS\0", 4)) << code;
        EXPECT_EQ(event.wide(kHintOffset, 41), kHint + L'\0') << code;
        // Nothing after the caption's and the hint's NUL is touched, nor any field read.
        for (size_t offset = kCaptionOffset + 8; offset < kHintOffset; ++offset)
            ASSERT_EQ(event.byte(offset), kUntouched) << "code " << code << " offset " << offset;
        for (size_t offset = kHintOffset + 82; offset < event.size(); ++offset)
            ASSERT_EQ(event.byte(offset), kUntouched) << "code " << code << " offset " << offset;
        EXPECT_EQ(event.get<int32_t>(16), code);
        EXPECT_EQ(event.get<HWND>(24), parent.handle());
        EXPECT_EQ(event.get<int32_t>(40), kPlace.x);
        EXPECT_EQ(event.get<int32_t>(52), kPlace.height);
    }
}

TEST_F(OptionsPageTest, ApplyThenCancelKeepsWhatWasApplied)
{
    send(1);
    SetWindowTextW(editor(), L"http://x/1\r\nhttp://x/2\r\n");
    send(4);
    EXPECT_EQ(stored(), L"http://x/1\r\nhttp://x/2\r\n");
    ASSERT_EQ(writes().size(), 1u);
    EXPECT_EQ(writes()[0].field<uint32_t>(32), 24u);
    EXPECT_EQ(host.serviceNames().back(), L"WTW/Settings/Write");
    HWND box = editor();
    EXPECT_TRUE(IsWindow(box)) << "apply keeps the box";

    SetWindowTextW(box, L"typed after apply");
    send(5);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(stored(), L"http://x/1\r\nhttp://x/2\r\n");
    EXPECT_EQ(writes().size(), 1u) << "cancel stored something";
}

TEST_F(OptionsPageTest, CancelAloneKeepsTheStoredList)
{
    send(1);
    HWND box = editor();
    SetWindowTextW(box, L"thrown away");
    send(5);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(stored(), kStored);
    EXPECT_TRUE(writes().empty());

    // A cancel that finds the page closed makes the box from the list and drops it at once.
    host.clearCalls();
    CreationRecorder recorder;
    send(5);
    EXPECT_EQ(editor(), nullptr);
    ASSERT_EQ(recorder.ofClass(L"Edit").size(), 1u);
    EXPECT_FALSE(IsWindow(recorder.ofClass(L"Edit")[0].window));
    EXPECT_EQ(host.count(L"WTW/Settings/Get"), 1u);
    EXPECT_TRUE(writes().empty());
}

TEST_F(OptionsPageTest, ConfirmStoresAndClosesAndTheNextShowReopensWithTheStoredText)
{
    send(1);
    HWND box = editor();
    SetWindowTextW(box, L"http://confirmed/");
    send(3);
    EXPECT_EQ(stored(), L"http://confirmed/");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(IsWindow(box));

    host.setValue(kFeedsKey, L"http://confirmed/\r\nhttp://changed-elsewhere/");
    send(1);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(windowText(editor()), L"http://confirmed/\r\nhttp://changed-elsewhere/") << "reopened from the store";
    EXPECT_NE(GetWindowLongPtrW(editor(), GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(OptionsPageTest, ConfirmOnAClosedPageStoresTheSameListAgain)
{
    send(3);
    EXPECT_EQ(editor(), nullptr);
    ASSERT_EQ(writes().size(), 1u);
    EXPECT_EQ(writes()[0].text(24), kStored);
    EXPECT_EQ(stored(), kStored);
}

TEST_F(OptionsPageTest, TypedLinesAreStoredWithCarriageReturnLineFeed)
{
    host.setValue(kFeedsKey, L"");
    send(1);
    HWND box = editor();
    ASSERT_NE(box, nullptr);
    // a, Ctrl+Enter, b: the box's Ctrl+Enter arrives as WM_CHAR line feed and becomes CR LF.
    typeInto(box, {{'A', true},
                   {'A', false},
                   {VK_CONTROL, true},
                   {VK_RETURN, true},
                   {VK_RETURN, false},
                   {VK_CONTROL, false},
                   {'B', true},
                   {'B', false}});
    EXPECT_EQ(windowText(box), L"a\r\nb");
    send(4);
    ASSERT_EQ(writes().size(), 1u);
    EXPECT_EQ(writes()[0].text(24), L"a\r\nb");
    EXPECT_EQ(writes()[0].field<uint32_t>(32), 4u);
    EXPECT_EQ(stored(), L"a\r\nb");
}

TEST_F(OptionsPageTest, ExactTextIsStoredAsTheBoxHoldsIt)
{
    const std::wstring texts[] = {L"", L"\r\n\r\nhttp://a/\r\n\r\n", L"  http://spaced/  ", L"bez\tadresu ąę",
                                  std::wstring(3000, L'x')};
    send(1);
    for (const std::wstring& text : texts) {
        SetWindowTextW(editor(), text.c_str());
        send(4);
        EXPECT_EQ(stored(), text);
        EXPECT_EQ(writes().back().field<uint32_t>(32), text.size());
    }
}

TEST_F(OptionsPageTest, MoveDoesNotRepaint)
{
    parent.activate();
    send(1);
    HWND box = editor();
    UpdateWindow(parent.handle());
    ValidateRect(parent.handle(), nullptr);
    send(6, Place{50, 60, 200, 100});
    EXPECT_TRUE(sameRect(rectInParent(box), RECT{50, 60, 250, 160}));
    RECT dirty{};
    EXPECT_FALSE(GetUpdateRect(parent.handle(), &dirty, FALSE)) << "the place the box left was repainted";
    EXPECT_EQ(editor(), box);
}

TEST_F(OptionsPageTest, HideAndShowKeepTheSameBoxWithItsUnsavedText)
{
    send(1);
    HWND box = editor();
    SetWindowTextW(box, L"not saved yet");
    send(2);
    EXPECT_EQ(editor(), box);
    EXPECT_EQ(GetWindowLongPtrW(box, GWL_STYLE) & WS_VISIBLE, 0);
    send(1);
    EXPECT_EQ(editor(), box);
    EXPECT_NE(GetWindowLongPtrW(box, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(windowText(box), L"not saved yet");
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(stored(), kStored);
}

TEST_F(OptionsPageTest, UnloadWithThePageOpenDestroysTheBox)
{
    send(1);
    HWND box = editor();
    ASSERT_TRUE(IsWindow(box));
    unload();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(editor(), nullptr);
}

class OptionsPageWithoutSettings : public OptionsPageTest {
protected:
    void SetUp() override
    {
        host.setSettingsHandle(0);
        host.setValue(kFeedsKey, L"never read");
        PluginUnderTest::SetUp();
    }
};

TEST_F(OptionsPageWithoutSettings, BoxOpensEmptyAndSavingStoresNothing)
{
    send(1);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(windowText(editor()), L"");
    SetWindowTextW(editor(), L"http://typed/");
    send(4);
    send(3);
    EXPECT_EQ(host.count(L"WTW/Settings/Set"), 0u);
    EXPECT_EQ(host.count(L"WTW/Settings/Write"), 0u);
    EXPECT_EQ(host.value(kFeedsKey), L"never read");
    EXPECT_EQ(editor(), nullptr);
}

} // namespace
