// What the guard around host callbacks and thread bodies returns and logs.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "LogLines.h"
#include "RecordingHost.h"
#include "services/CallbackGuard.h"
#include "services/HostLink.h"

namespace {

struct GuardCase {
    const char* name;
    std::function<int()> body;
    bool linkOpen;
    int expectedResult;
    std::vector<std::wstring> expectedLines;
};

TEST(CallbackGuard, ReturnsTheFallbackAndLogsWhatItSwallowed)
{
    const GuardCase cases[] = {
        {"a body that returns", [] { return 5; }, true, 5, {}},
        {"a standard exception", []() -> int { throw std::runtime_error("list unreadable"); }, true, -1,
         {L"panel: list unreadable"}},
        {"out of memory", []() -> int { throw std::bad_alloc(); }, true, -1, {L"panel: std::bad_alloc"}},
        {"anything else", []() -> int { throw 42; }, true, -1, {L"panel: unknown exception"}},
        {"after unload: swallowed without a host call", []() -> int { throw std::runtime_error("late"); }, false, -1,
         {}},
    };
    EXPECT_EQ(guarded(nullptr, L"before load", -1, []() -> int { throw std::runtime_error("no host yet"); }), -1);
    for (const GuardCase& c : cases) {
        RecordingHost host;
        HostLink link(host.api());
        if (!c.linkOpen)
            link.close(0);
        EXPECT_EQ(guarded(&link, L"panel", -1, c.body), c.expectedResult) << c.name;
        EXPECT_EQ(logMessages(host.calls()), c.expectedLines) << c.name;
        for (const RecordedCall& call : host.callsTo(L"WTW/Log"))
            EXPECT_EQ(call.text(8), L"RSS") << c.name;
    }
}

} // namespace
