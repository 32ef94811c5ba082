#include "EngineTestKit.h"

bool waitForCleanerEnds(const RecordingHost& host, size_t count, std::chrono::milliseconds timeout)
{
    return host.waitUntil(
        [count](const std::vector<RecordedCall>& calls) { return countLogLines(calls, L"Cleaner thread ") >= count; },
        timeout);
}
