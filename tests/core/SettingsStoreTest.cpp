// The feed list through the host's settings services.
#include <gtest/gtest.h>

#include "PluginUnderTest.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

using Settings = PluginUnderTest;

TEST(SettingsClosed, ReadBeforeLoadAndAfterUnloadCallsNothing)
{
    RecordingHost host;
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), L"");
    EXPECT_EQ(Plugin::instance().settings.writeFeeds(L"x"), 0);
    EXPECT_TRUE(host.calls().empty());
    Plugin::instance().load(host.api());
    Plugin::instance().unload();
    host.clearCalls();
    host.setValue(kFeedsKey, L"http://a/b");
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), L"");
    Plugin::instance().settings.writeFeeds(L"y");
    Plugin::instance().settings.close();
    EXPECT_TRUE(host.calls().empty());
}

TEST_F(Settings, WriteStoresExactTextThenSaves)
{
    host.clearCalls();
    Plugin::instance().settings.writeFeeds(L"a\r\nb");
    auto calls = host.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].service, L"WTW/Settings/Set");
    EXPECT_EQ(calls[0].text(8), L"cfg/quillFeed/feeds");
    EXPECT_EQ(calls[0].field<uint32_t>(16), 3u);
    EXPECT_EQ(calls[0].field<uint32_t>(32), 4u);
    EXPECT_EQ(calls[0].field<intptr_t>(40), host.settingsHandle());
    EXPECT_EQ(calls[0].text(24), L"a\r\nb");
    EXPECT_EQ(calls[1].service, L"WTW/Settings/Write");
    EXPECT_EQ(calls[1].wParam, host.settingsHandle());
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), L"a\r\nb");
}

TEST_F(Settings, EmptyTextStoredWithLengthZero)
{
    host.setValue(kFeedsKey, L"old");
    Plugin::instance().settings.writeFeeds(L"");
    auto sets = host.callsTo(L"WTW/Settings/Set");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].field<uint32_t>(32), 0u);
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), L"");
}

TEST_F(Settings, EveryReadIsPrecededByReload)
{
    host.setValue(kFeedsKey, L"http://x/y");
    host.clearCalls();
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), L"http://x/y");
    auto calls = host.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].service, L"WTW/Settings/Read");
    EXPECT_EQ(calls[0].wParam, host.settingsHandle());
    EXPECT_EQ(calls[1].service, L"WTW/Settings/Get");
    EXPECT_EQ(calls[1].text(8), L"cfg/quillFeed/feeds");
    EXPECT_EQ(calls[1].field<uint32_t>(16), 3u);
    EXPECT_EQ(calls[1].field<uint32_t>(32), 4096u);
    EXPECT_EQ(calls[1].field<intptr_t>(40), host.settingsHandle());
}

TEST_F(Settings, AbsentValueReadsEmpty)
{
    host.eraseValue(kFeedsKey);
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), L"");
}

TEST_F(Settings, ListLongerThanFirstBufferIsReadWhole)
{
    std::wstring list;
    for (int i = 0; list.size() < 20000; ++i)
        list += L"http://feeds.example/" + std::to_wstring(i) + L"\r\n";
    host.setValue(kFeedsKey, list);
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), list);
    // Exactly one character short of the first buffer needs no second read.
    std::wstring fits(4095 - 1, L'x');
    host.setValue(kFeedsKey, fits);
    host.clearCalls();
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), fits);
    EXPECT_EQ(host.count(L"WTW/Settings/Get"), 1u);
    std::wstring full(4095, L'y');
    host.setValue(kFeedsKey, full);
    EXPECT_EQ(Plugin::instance().settings.read(kFeedsKey), full);
}

} // namespace
