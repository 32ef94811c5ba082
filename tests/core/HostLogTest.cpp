// Lines written to the host's log.
#include <gtest/gtest.h>

#include "RecordingHost.h"
#include "services/HostLog.h"

namespace {

TEST(HostLog, PointerFormatIsSixteenUpperCaseDigits)
{
    RecordingHost host;
    hostLog(host.api(), 1, L"RSS", L"Thread %p has ended", reinterpret_cast<void*>(0x1A4));
    auto logs = host.callsTo(L"WTW/Log");
    ASSERT_EQ(logs.size(), 1u);
    ASSERT_EQ(logs[0].record.size(), 40u);
    EXPECT_EQ(logs[0].field<int32_t>(4), 1);
    EXPECT_EQ(logs[0].text(8), L"RSS");
    EXPECT_EQ(logs[0].text(16), L"Thread 00000000000001A4 has ended");
    EXPECT_EQ(logs[0].field<uint64_t>(24) | logs[0].field<uint64_t>(32), 0u);
    hostLog(host.api(), 1, L"RSS", L"Cleaner thread %p has ended", reinterpret_cast<void*>(0xABCDEF0123456789ull));
    EXPECT_EQ(host.callsTo(L"WTW/Log")[1].text(16), L"Cleaner thread ABCDEF0123456789 has ended");
}

TEST(HostLog, LongMessageIsCutTo2047Characters)
{
    RecordingHost host;
    std::wstring longText(5000, L'z');
    longText[2046] = L'!';
    hostLog(host.api(), 7, L"mod", L"%s", longText.c_str());
    auto logs = host.callsTo(L"WTW/Log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].field<int32_t>(4), 7);
    EXPECT_EQ(logs[0].text(16), longText.substr(0, 2047));
    hostLog(host.api(), 1, L"mod", L"%ls", std::wstring(2047, L'q').c_str());
    EXPECT_EQ(host.callsTo(L"WTW/Log")[1].text(16), std::wstring(2047, L'q'));
}

} // namespace
