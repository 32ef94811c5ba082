// devhost.exe as a user runs it: --once over the sample feeds, its output,
// its exit codes, and its configuration file across two runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "E2eSupport.h"
#include "LoopbackServer.h"
#include "SampleFeeds.h"
#include "devhost/FeedList.h"
#include "devhost/Text.h"

namespace {

constexpr DWORD kRunLimitMs = 60000; // "does not hang"; a run takes well under a second

class DevhostProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        _putenv("TZ=UTC0"); // the child inherits it: its dates are read as UTC
        _tzset();
    }
    std::wstring writeFeedsFile(const std::vector<std::wstring>& addresses)
    {
        const std::wstring path = scratch.path(L"feeds.txt");
        std::string text = "# sample feeds\r\n\r\n";
        for (const std::wstring& address : addresses)
            text += Text::toUtf8(address) + "\r\n";
        writeFileBytes(path, text);
        return path;
    }
    ScratchFolder scratch;
    std::wstring config = scratch.path(L"quillFeed.cfg");
};

void expectLines(const std::wstring& output, const std::vector<std::wstring>& wanted)
{
    const std::vector<std::wstring> lines = linesOf(output);
    for (const std::wstring& line : wanted)
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << "missing line: " << line;
}

TEST_F(DevhostProgram, OncePrintsNotificationsNewsEntriesAndTheTree)
{
    LoopbackServer server("127.0.7.10");
    serveSamples(server);
    const ChildResult run =
        runDevhost({L"--once", L"--config", config, L"--feeds", writeFeedsFile(sampleFeedList(server))}, kRunLimitMs);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const SampleItem& first = sampleItems().front();
    expectLines(run.out, {
                             L"Feed list (5 lines):",
                             L"  " + server.url("/wiadomosci.xml"),
                             L"Notifications (10):",
                             L"  [RSS] " + first.title,
                             L"  [Warning32] RSS error - " + server.url("/missing.xml"),
                             L"              HTTP response code diffrent than 200 received",
                             L"News entries (8):",
                             L"  2025-03-10 05:30:00 UTC  " + first.title,
                             L"      channel: " + first.channel,
                             L"      id:      dolina-bobru-2025-0311-zrodlo",
                             L"Panel \"RSS\" (3 channels):",
                             L"  " + first.channel,
                             L"      <" + first.link + L">",
                             L"      Data: Mon Mar 10 05:30:00 2025",
                         });
    EXPECT_NE(run.err.find(L"[log RSS 1] Starting cleaner thread "), std::wstring::npos) << run.err;
    EXPECT_NE(run.err.find(L" has ended"), std::wstring::npos) << run.err;
}

TEST_F(DevhostProgram, SilentOnceAnnouncesNothingButStillShowsTheTree)
{
    LoopbackServer server("127.0.7.11");
    serveSamples(server);
    const ChildResult run = runDevhost(
        {L"--once", L"--silent", L"--quiet-log", L"--config", config, server.url("/engineering.xml")}, kRunLimitMs);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    expectLines(run.out, {L"Feed list (1 line):", L"Notifications (0):", L"News entries (0):",
                          L"Panel \"RSS\" (1 channel):", L"  quillFeed engineering notes"});
    EXPECT_NE(run.out.find(L"\nSilent refresh ended after "), std::wstring::npos) << run.out;
    EXPECT_EQ(run.err, L"");
}

TEST_F(DevhostProgram, OnceWithoutAnyFeedListSaysSoAndAnnouncesNothing)
{
    const ChildResult run = runDevhost({L"--once", L"--quiet-log", L"--config", config}, kRunLimitMs);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    expectLines(run.out, {L"Feed list: none stored (give addresses or --feeds FILE)", L"Notifications (0):",
                          L"Panel \"RSS\" (0 channels):"});
    EXPECT_FALSE(fileExists(config)) << "nothing to store, nothing written";
}

TEST_F(DevhostProgram, FeedListFromOneRunIsUsedByTheNext)
{
    LoopbackServer server("127.0.7.12");
    serveSamples(server);
    const std::vector<std::wstring> list = {server.url("/biblioteka.xml"), server.url("/engineering.xml")};
    const ChildResult first = runDevhost({L"--once", L"--config", config, list[0], list[1]}, kRunLimitMs);
    ASSERT_TRUE(first.finished);
    EXPECT_EQ(first.exitCode, 0u) << first.err;
    const ChildResult second = runDevhost({L"--once", L"--config", config}, kRunLimitMs);
    ASSERT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0u) << second.err;
    // The state kept beside the configuration: the second run has no news.
    expectLines(second.out, {L"Feed list (2 lines):", L"  " + list[0], L"  " + list[1], L"News entries (0):"});
    EXPECT_EQ(server.requests().size(), 4u);
}

TEST_F(DevhostProgram, DamagedConfigurationStopsTheStartAndIsKept)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring where;
    };
    const std::vector<Case> cases = {
        {"no header", "cfg/quillFeed/feeds=http://127.0.7.13/a.xml\n", L"line 1"},
        {"line without '='", "[quillFeed-devhost-settings 1]\ncfg/quillFeed/feeds\n", L"line 2: no '='"},
        {"bad escape", "[quillFeed-devhost-settings 1]\n# note\nk=a\\x\n", L"line 3: unknown escape \\x"},
        {"not UTF-8", "[quillFeed-devhost-settings 1]\nk=\xB1\xEA\n", L"line 2: not valid UTF-8"},
        {"key twice", "[quillFeed-devhost-settings 1]\nk=1\nk=2\n", L"line 3: the key k appears twice"},
    };
    for (const Case& damaged : cases) {
        ASSERT_TRUE(writeFileBytes(config, damaged.bytes));
        // Even with a new feed list to store, the file stays as it is.
        const ChildResult run = runDevhost({L"--once", L"--config", config, L"http://127.0.7.13/b.xml"}, kRunLimitMs);
        ASSERT_TRUE(run.finished) << damaged.name;
        EXPECT_EQ(run.exitCode, 2u) << damaged.name << ": " << run.err;
        EXPECT_NE(run.err.find(config + L" is damaged: " + damaged.where), std::wstring::npos)
            << damaged.name << ": " << run.err;
        EXPECT_EQ(readFileBytes(config), damaged.bytes) << damaged.name;
        EXPECT_EQ(run.out, L"") << damaged.name;
    }
}

TEST_F(DevhostProgram, ExitCodesTellWhatWentWrong)
{
    LoopbackServer server("127.0.7.14");
    ScriptedResponse silent;
    silent.mode = ScriptedResponse::Mode::Silent;
    server.serve("/slow.xml", silent);
    struct Case {
        const char* name;
        std::vector<std::wstring> arguments;
        DWORD exitCode;
        std::wstring message;
    };
    const std::vector<Case> cases = {
        {"unknown option", {L"--once", L"--fast"}, 1, L"unknown option --fast"},
        {"bad timeout", {L"--once", L"--timeout", L"soon"}, 1, L"--timeout takes milliseconds"},
        {"no plug-in",
         {L"--once", L"--config", config, L"--dll", scratch.path(L"missing\\quillFeed.dll")},
         3,
         L"cannot load"},
        {"refresh not ended",
         {L"--once", L"--quiet-log", L"--timeout", L"500", L"--config", config, server.url("/slow.xml")},
         4,
         L"the refresh did not end within 500 ms"},
    };
    for (const Case& c : cases) {
        const ChildResult run = runDevhost(c.arguments, kRunLimitMs);
        ASSERT_TRUE(run.finished) << c.name;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::wstring::npos) << c.name << ": " << run.err;
    }
}

} // namespace
