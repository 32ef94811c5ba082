#pragma once
// Helpers shared by the engine tests: feed documents, dated items and waits.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Announcements.h"
#include "LogLines.h"
#include "ProcessCounts.h" // threadCount, handleCount, settledCount
#include "RecordingHost.h"
#include "TestTime.h"

using namespace std::chrono_literals;

// The RFC 822 form feeds carry, e.g. "Wed, 02 Oct 2002 13:00:00 GMT".
std::string rfc822(int64_t seconds);

struct FeedItem {
    std::string title;
    std::string link;
    std::string guid;
    int64_t pubDate = 0; // 0: the item has no pubDate element
};
std::string rssDocument(const std::string& channelTitle, const std::vector<FeedItem>& items);

// What unload asks of the host, in order.
const std::vector<std::wstring> kUnloadCalls = {L"WTW/RemoveOptionsPage", L"WTW/PanelDel", L"WTW/Timer/Destroy",
                                                L"WTW/Settings/Destroy"};

// Waits until the cleaner thread has logged its end `count` times.
bool waitForCleanerEnds(const RecordingHost& host, size_t count, std::chrono::milliseconds timeout = 10s);

// Polls the condition until it holds or the timeout passes.
bool pollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
