// The devhost's own parts: its settings file, settings services, timers
// and feed list handling, each without the plug-in.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "E2eSupport.h"
#include "ProcessCounts.h"
#include "devhost/FeedList.h"
#include "devhost/ServiceDispatcher.h"
#include "devhost/SettingsFile.h"
#include "devhost/SettingsFormat.h"
#include "devhost/SettingsService.h"
#include "devhost/TimerService.h"
#include "host/EventRecords.h"
#include "host/HostProtocol.h"

namespace {

TEST(SettingsFormat, ValuesSurviveAWriteAndReadWithEveryCharacterThatNeedsEscaping)
{
    const SettingsFormat::Values values = {
        {L"cfg/quillFeed/feeds", L"http://a.example/x\r\nhttp://b.example/y\r\n"},
        {L"backslashes", L"C:\\dir\\n\\\\"},
        {L"polish", L"Zażółć gęślą jaźń\ttab"},
        {L"empty", L""},
        {L"equals", L"a=b=c"},
    };
    SettingsFormat::Values read;
    std::wstring error;
    ASSERT_TRUE(SettingsFormat::parse(SettingsFormat::serialize(values), read, error)) << error;
    EXPECT_EQ(read, values);
    // One line per value: no raw line break escapes into the file.
    const std::string text = SettingsFormat::serialize(values);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + static_cast<long>(values.size()));
}

TEST(SettingsFormat, DamagedFilesAreRefusedWithTheLineThatIsWrong)
{
    const std::string header = std::string(SettingsFormat::kHeader) + "\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring error;
    };
    const std::vector<Case> cases = {
        {"other header", "[settings]\nk=v\n", L"line 1: not a devhost settings file"},
        {"no equals", header + "k=v\nbroken\n", L"line 3: no '=' between key and value"},
        {"empty key", header + "=v\n", L"line 2: the key is empty or holds a control character"},
        {"unknown escape", header + "k=a\\qb\n", L"line 2: unknown escape \\q"},
        {"lone backslash", header + "k=abc\\\n", L"line 2: the value ends with a lone backslash"},
        {"invalid UTF-8", header + "k=\xC3\x28\n", L"line 2: not valid UTF-8"},
        {"repeated key", header + "k=1\r\nk=2\r\n", L"line 3: the key k appears twice"},
    };
    for (const Case& c : cases) {
        SettingsFormat::Values values = {{L"kept", L"x"}};
        std::wstring error;
        EXPECT_FALSE(SettingsFormat::parse(c.bytes, values, error)) << c.name;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.name << ": " << error;
    }
}

TEST(SettingsFormat, AcceptsCommentsBlankLinesWindowsLineEndsAndAnEmptyFile)
{
    SettingsFormat::Values values;
    std::wstring error;
    ASSERT_TRUE(
        SettingsFormat::parse(std::string(SettingsFormat::kHeader) + "\r\n# note\r\n\r\nk=v\r\n", values, error))
        << error;
    EXPECT_EQ(values, (SettingsFormat::Values{{L"k", L"v"}}));
    ASSERT_TRUE(SettingsFormat::parse("", values, error));
    EXPECT_TRUE(values.empty());
}

TEST(SettingsFile, SavesThroughATemporaryFileIntoNewFoldersAndLeavesNoneBehind)
{
    ScratchFolder scratch;
    const std::wstring path = scratch.path(L"a\\b\\quillFeed.cfg");
    SettingsFile file(path);
    std::wstring error;
    ASSERT_TRUE(file.load(error)) << "a missing file is an empty one: " << error;
    EXPECT_TRUE(file.values().empty());
    file.set(L"k", L"first");
    ASSERT_TRUE(file.save(error)) << error;
    file.set(L"k", L"second");
    ASSERT_TRUE(file.save(error)) << error;

    SettingsFile again(path);
    ASSERT_TRUE(again.load(error)) << error;
    EXPECT_EQ(again.get(L"k").value_or(L"(none)"), L"second");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(scratch.path(L"a\\b\\*.tmp*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "temporary file left behind";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

TEST(SettingsFile, NeitherLoadNorSaveTouchesADamagedFile)
{
    ScratchFolder scratch;
    const std::wstring path = scratch.path(L"quillFeed.cfg");
    SettingsFile file(path);
    file.set(L"k", L"v");
    std::wstring error;
    ASSERT_TRUE(file.save(error)) << error;

    const std::string damaged = "garbage\n";
    ASSERT_TRUE(writeFileBytes(path, damaged));
    EXPECT_FALSE(file.load(error));
    EXPECT_EQ(file.get(L"k").value_or(L"(none)"), L"v") << "a failed load keeps the values";
    EXPECT_FALSE(file.save(error));
    EXPECT_NE(error.find(L"it was not overwritten"), std::wstring::npos) << error;
    EXPECT_EQ(readFileBytes(path), damaged);
}

// The settings services as the plug-in calls them, records and all.
class SettingsServices : public ::testing::Test {
protected:
    SettingsServices()
        : dispatcher([](const std::wstring&) {}),
          service(scratch.path(L"quillFeed.cfg"), [this](const std::wstring& p) {
              std::lock_guard<std::mutex> hold(mutex);
              problems.push_back(p);
          })
    {
        service.install(dispatcher);
    }
    intptr_t call(const wchar_t* name, const void* record)
    {
        return dispatcher.call(name, reinterpret_cast<intptr_t>(record), 0);
    }
    intptr_t open()
    {
        return dispatcher.call(L"WTW/Settings/Init", reinterpret_cast<intptr_t>(service.configPath().c_str()), 0);
    }
    intptr_t set(intptr_t handle, const std::wstring& value)
    {
        SettingsValueRecord record;
        record.key = L"cfg/quillFeed/feeds";
        record.valueType = 3;
        record.text = const_cast<wchar_t*>(value.data());
        record.length = static_cast<uint32_t>(value.size());
        record.settings = handle;
        return call(L"WTW/Settings/Set", &record);
    }
    intptr_t get(intptr_t handle, std::vector<wchar_t>& buffer, const wchar_t* key = L"cfg/quillFeed/feeds")
    {
        SettingsValueRecord record;
        record.key = key;
        record.valueType = 3;
        record.text = buffer.data();
        record.length = static_cast<uint32_t>(buffer.size());
        record.settings = handle;
        return call(L"WTW/Settings/Get", &record);
    }
    ScratchFolder scratch;
    ServiceDispatcher dispatcher;
    std::mutex mutex;
    std::vector<std::wstring> problems;
    SettingsService service;
};

TEST_F(SettingsServices, ConfigPathFillsTheBufferAndAPathThatDoesNotFitIsNotHandedOut)
{
    std::vector<wchar_t> buffer(261, L'#');
    ConfigPathRecord record;
    record.buffer = buffer.data();
    record.capacity = 261;
    EXPECT_EQ(call(L"WTW/Settings/GetMyConfigFile", &record), 1);
    EXPECT_EQ(std::wstring(buffer.data()), service.configPath());

    record.capacity = static_cast<uint32_t>(service.configPath().size()); // one short of the NUL
    EXPECT_EQ(call(L"WTW/Settings/GetMyConfigFile", &record), 0);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(SettingsServices, GetCopiesWhatFitsAlwaysTerminatedAndAnswersZeroWithoutAValue)
{
    const intptr_t handle = open();
    ASSERT_NE(handle, 0);
    std::vector<wchar_t> buffer(8, L'#');
    EXPECT_EQ(get(handle, buffer), 0) << "no value yet";
    ASSERT_EQ(set(handle, L"a\r\nbcdefghij"), 1);
    EXPECT_EQ(get(handle, buffer), 1);
    EXPECT_EQ(std::wstring(buffer.data()), L"a\r\nbcde");
    std::vector<wchar_t> roomy(64, L'#');
    EXPECT_EQ(get(handle, roomy), 1);
    EXPECT_EQ(std::wstring(roomy.data()), L"a\r\nbcdefghij");
    EXPECT_EQ(get(handle, roomy, L"other/key"), 0);
    EXPECT_EQ(get(handle + 1, roomy), 0) << "an unknown handle";
}

TEST_F(SettingsServices, WriteSavesTheFileAndReadReloadsIt)
{
    const intptr_t handle = open();
    ASSERT_EQ(set(handle, L"http://127.0.7.20/a.xml"), 1);
    EXPECT_EQ(dispatcher.call(L"WTW/Settings/Write", handle, 0), 1);
    SettingsFile onDisk(service.configPath());
    std::wstring error;
    ASSERT_TRUE(onDisk.load(error)) << error;
    EXPECT_EQ(onDisk.get(L"cfg/quillFeed/feeds").value_or(L""), L"http://127.0.7.20/a.xml");

    onDisk.set(L"cfg/quillFeed/feeds", L"edited outside");
    ASSERT_TRUE(onDisk.save(error)) << error;
    EXPECT_EQ(dispatcher.call(L"WTW/Settings/Read", handle, 0), 1);
    std::vector<wchar_t> buffer(64);
    ASSERT_EQ(get(handle, buffer), 1);
    EXPECT_EQ(std::wstring(buffer.data()), L"edited outside");
    EXPECT_EQ(dispatcher.call(L"WTW/Settings/Destroy", handle, 0), 1);
    EXPECT_EQ(service.openHandles(), 0u);
}

TEST_F(SettingsServices, ADamagedFileIsReportedOnceAndNoHandleIsGiven)
{
    ASSERT_TRUE(writeFileBytes(service.configPath(), "no header\n"));
    EXPECT_EQ(open(), 0);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(L"is damaged: line 1"), std::wstring::npos) << problems[0];

    ASSERT_TRUE(writeFileBytes(service.configPath(), std::string(SettingsFormat::kHeader) + "\n"));
    const intptr_t handle = open();
    ASSERT_NE(handle, 0);
    ASSERT_TRUE(writeFileBytes(service.configPath(), "no header\n"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(dispatcher.call(L"WTW/Settings/Read", handle, 0), 0);
    EXPECT_EQ(problems.size(), 2u) << "the same damage is reported once";
}

TEST(TimerServiceTest, RunningTimerSendsASilentEventAtOnceThenNotifyingOnesAtItsInterval)
{
    static std::mutex mutex;
    static std::vector<int32_t> codes;
    codes.clear();
    const HostCallback callback = [](intptr_t event, intptr_t, void*) -> intptr_t {
        std::lock_guard<std::mutex> hold(mutex);
        codes.push_back(reinterpret_cast<const TimerEvent*>(event)->code);
        return 0;
    };
    ServiceDispatcher dispatcher([](const std::wstring&) {});
    TimerService timers(TimerService::Mode::Running);
    timers.install(dispatcher);
    const size_t threadsBefore = threadCount();
    TimerRecord record;
    record.timerId = L"test/timer";
    record.intervalMs = 40;
    record.callback = callback;
    ASSERT_EQ(dispatcher.call(L"WTW/Timer/Create", reinterpret_cast<intptr_t>(&record), 0), 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(mutex);
            if (codes.size() >= 3 || std::chrono::steady_clock::now() > deadline)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(dispatcher.call(L"WTW/Timer/Destroy", reinterpret_cast<intptr_t>(L"test/timer"), 0), 1);
    std::vector<int32_t> seen;
    {
        std::lock_guard<std::mutex> hold(mutex);
        seen = codes;
    }
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], kSilentRefreshEvent);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], kNotifyingRefreshEvent) << i;
    // Destroy joined the timer's thread: no event can come after it.
    EXPECT_LE(threadCount(), threadsBefore) << "the timer's thread outlived Destroy";
    EXPECT_EQ(timers.refreshEventsSent(), seen.size());
}

TEST(TimerServiceTest, ManualTimerFiresOnlyWhenAskedAndDestroyForgetsIt)
{
    static std::atomic<int32_t> lastCode;
    lastCode = 0; // a repeated run starts afresh
    const HostCallback callback = [](intptr_t event, intptr_t, void*) -> intptr_t {
        lastCode = reinterpret_cast<const TimerEvent*>(event)->code;
        return 0;
    };
    TimerService timers(TimerService::Mode::Manual);
    TimerRecord record;
    record.timerId = L"test/manual";
    record.intervalMs = 1;
    record.callback = callback;
    const size_t threadsBefore = threadCount();
    ASSERT_EQ(timers.create(reinterpret_cast<intptr_t>(&record)), 1);
    EXPECT_LE(threadCount(), threadsBefore) << "a manual timer has no thread to fire it";
    EXPECT_EQ(lastCode.load(), 0);
    EXPECT_EQ(timers.fire(kNotifyingRefreshEvent), 1u);
    EXPECT_EQ(lastCode.load(), kNotifyingRefreshEvent);
    EXPECT_EQ(timers.destroy(reinterpret_cast<intptr_t>(L"test/manual")), 1);
    EXPECT_EQ(timers.fire(kSilentRefreshEvent), 0u);
    EXPECT_EQ(timers.destroy(reinterpret_cast<intptr_t>(L"test/manual")), 0);
}

TEST(FeedListTest, FileLinesBecomeTheStoredListAndSplitBack)
{
    struct Case {
        const char* name;
        std::wstring text;
        std::vector<std::wstring> addresses;
    };
    const std::vector<Case> cases = {
        {"plain", L"http://a/x\nhttp://b/y\n", {L"http://a/x", L"http://b/y"}},
        {"windows line ends", L"http://a/x\r\nhttp://b/y", {L"http://a/x", L"http://b/y"}},
        {"comments and blanks", L"# list\n\n  http://a/x  \n\t\n#http://b/y\n", {L"http://a/x"}},
        {"empty", L"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FeedList::parseLines(c.text), c.addresses) << c.name;
        const std::wstring stored = FeedList::join(c.addresses);
        EXPECT_EQ(stored.find(L"\r\n\r\n"), std::wstring::npos) << c.name;
        if (!c.addresses.empty()) {
            EXPECT_EQ(splitFeedList(stored), c.addresses) << c.name;
        }
    }
    EXPECT_EQ(FeedList::join({L"a", L"b"}), L"a\r\nb");
    EXPECT_EQ(splitFeedList(L"a\r\n"), (std::vector<std::wstring>{L"a", L""}));
}

} // namespace
