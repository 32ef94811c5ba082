#pragma once
// How many threads and handles this process holds, so tests can check that a
// piece of work gives back everything it took. GetProcessHandleCount answers 0
// under Wine, so every handle value is tried instead; sockets count too.
#include <chrono>
#include <cstddef>
#include <map>
#include <vector>

size_t threadCount();
size_t handleCount();
// Object type (numbered by name) -> open handles of that type, to tell what leaked.
std::map<int, size_t> handlesByType();

// Waits until every thread other than this one that made one of `calls` has
// ended (a thread already gone counts as ended); false at the ceiling.
struct RecordedCall;
bool callingThreadsEnded(const std::vector<RecordedCall>& calls,
                         std::chrono::milliseconds ceiling = std::chrono::milliseconds(10000));

// Polls until the count falls to at most `limit`; returns the last count seen.
size_t settledCount(size_t (*count)(), size_t limit,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
