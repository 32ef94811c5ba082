// The feed list lives in the devhost's configuration file: it survives a
// restart of the host, and a damaged file is reported and never replaced.
#include <gtest/gtest.h>

#include "E2eSupport.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "devhost/FeedList.h"
#include "devhost/OptionsPages.h"
#include "devhost/SettingsFormat.h"

namespace {

const RECT kPageArea{0, 0, 300, 200};

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool anyContains(const std::vector<std::wstring>& texts, const std::wstring& part)
{
    for (const std::wstring& text : texts)
        if (text.find(part) != std::wstring::npos)
            return true;
    return false;
}

// Types the list into the options page the way a user would, then confirms.
void typeIntoOptionsPage(HostedPlugin& plugin, const std::wstring& list)
{
    const auto pages = plugin.host.optionsPages().pages();
    ASSERT_EQ(pages.size(), 1u);
    OptionsPageSession page(pages.front(), plugin.frame.get(), kPageArea);
    page.send(kPageMove);
    page.send(kPageShow);
    ASSERT_NE(page.editor(), nullptr);
    SetWindowTextW(page.editor(), list.c_str());
    page.send(kPageConfirm);
    EXPECT_EQ(page.editor(), nullptr) << "confirm closes the page";
}

TEST(Configuration, FeedListTypedIntoTheOptionsPageSurvivesARestartOfTheHost)
{
    LoopbackServer server("127.0.7.6");
    server.serve("/notes.xml", sampleBytes("engineering.xml"));
    server.serve("/library.xml", sampleBytes("biblioteka.xml"));
    ScratchFolder scratch;
    const std::wstring config = scratch.path(L"profile\\quillFeed.cfg"); // its folder does not exist yet
    const std::wstring typed = server.url("/notes.xml") + L"\r\n" + server.url("/library.xml");
    {
        HostedPlugin first(config);
        ASSERT_TRUE(first.load());
        typeIntoOptionsPage(first, typed);
        first.unload();
    }
    SettingsFormat::Values stored;
    std::wstring error;
    ASSERT_TRUE(SettingsFormat::parse(readFileBytes(config), stored, error)) << error;
    EXPECT_EQ(stored[kFeedsKey], typed);

    HostedPlugin second(config); // a new host and a freshly loaded library
    ASSERT_TRUE(second.load());
    ASSERT_TRUE(second.refresh(true));
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(second.host.events().newsEntries().size(), 5u); // 3 notes and 2 library items, all new again
    const auto pages = second.host.optionsPages().pages();
    ASSERT_EQ(pages.size(), 1u);
    OptionsPageSession page(pages.front(), second.frame.get(), kPageArea);
    page.send(kPageShow);
    ASSERT_NE(page.editor(), nullptr);
    EXPECT_EQ(windowText(page.editor()), typed);
    page.send(kPageCancel);
    EXPECT_EQ(second.problems(), std::vector<std::wstring>{});
}

TEST(Configuration, FileDamagedWhileRunningIsReportedAndNeverOverwritten)
{
    LoopbackServer server("127.0.7.7");
    server.serve("/notes.xml", sampleBytes("engineering.xml"));
    ScratchFolder scratch;
    const std::wstring config = scratch.path(L"quillFeed.cfg");
    HostedPlugin plugin(config);
    std::wstring error;
    ASSERT_TRUE(plugin.host.storeFeedList(server.url("/notes.xml"), error)) << error;
    ASSERT_TRUE(plugin.load());

    const std::string damaged = std::string(SettingsFormat::kHeader) + "\ncfg/quillFeed/feeds=http://x/\\q\n";
    ASSERT_TRUE(writeFileBytes(config, damaged));
    // The refresh reloads the file, which fails: the list read before still holds.
    ASSERT_TRUE(plugin.refresh(true));
    EXPECT_EQ(plugin.host.events().newsEntries().size(), 3u);
    EXPECT_TRUE(anyContains(plugin.problems(), L"line 2: unknown escape \\q")) << plugin.problems().size();

    typeIntoOptionsPage(plugin, L"http://127.0.7.7/other.xml");
    EXPECT_TRUE(anyContains(plugin.problems(), L"it was not overwritten"));
    EXPECT_EQ(readFileBytes(config), damaged);
}

TEST(Configuration, DamagedFileGivesThePluginNoSettingsAndStaysAsItIs)
{
    ScratchFolder scratch;
    const std::wstring config = scratch.path(L"quillFeed.cfg");
    const std::string damaged = "cfg/quillFeed/feeds=http://127.0.7.8/x.xml\n"; // no header line
    ASSERT_TRUE(writeFileBytes(config, damaged));
    HostedPlugin plugin(config);
    std::wstring error;
    EXPECT_FALSE(plugin.host.checkConfig(error));
    EXPECT_NE(error.find(config), std::wstring::npos) << error;
    EXPECT_NE(error.find(L"line 1"), std::wstring::npos) << error;

    ASSERT_TRUE(plugin.load()); // loaded anyway, the plug-in gets no settings handle
    EXPECT_EQ(plugin.host.openSettings(), 0u);
    typeIntoOptionsPage(plugin, L"http://127.0.7.8/y.xml");
    plugin.unload();
    EXPECT_TRUE(anyContains(plugin.problems(), L"the plug-in gets no settings"));
    EXPECT_EQ(readFileBytes(config), damaged);
}

} // namespace
