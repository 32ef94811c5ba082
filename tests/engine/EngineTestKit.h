#pragma once
// Helpers shared by the engine tests: what unload asks of the host, and waits.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Announcements.h"
#include "FeedDocuments.h"
#include "LogLines.h"
#include "ProcessCounts.h"
#include "ProcessCounts.h" // threadCount, handleCount, settledCount
#include "RecordingHost.h"
#include "TestTime.h"

using namespace std::chrono_literals;

// What unload asks of the host, in order.
const std::vector<std::wstring> kUnloadCalls = {L"WTW/RemoveOptionsPage", L"WTW/PanelDel", L"WTW/Timer/Destroy",
                                                L"WTW/Settings/Destroy"};

// Waits until the cleaner thread has logged its end `count` times.
bool waitForCleanerEnds(const RecordingHost& host, size_t count, std::chrono::milliseconds timeout = 10s);
