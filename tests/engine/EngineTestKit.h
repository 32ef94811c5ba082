#pragma once
// Helpers shared by the engine tests: feed documents, timer events, the host's
// recorded log and announcements.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ProcessCounts.h" // threadCount, handleCount, settledCount
#include "RecordingHost.h"

using namespace std::chrono_literals;

// Dates are read as local standard time; the tests run in UTC.
void useUtc();

// Seconds since 1970 of a UTC calendar time, worked out here, not by the reader.
int64_t utcSeconds(int year, int month, int day, int hour, int minute, int second);
// The RFC 822 form feeds carry, e.g. "Wed, 02 Oct 2002 13:00:00 GMT".
std::string rfc822(int64_t seconds);

struct FeedItem {
    std::string title;
    std::string link;
    std::string guid;
    int64_t pubDate = 0; // 0: the item has no pubDate element
};
std::string rssDocument(const std::string& channelTitle, const std::vector<FeedItem>& items);

std::wstring wide(const std::string& text);

// Calls the timer callback as the host does, with the event code at offset 16.
intptr_t fireTimer(int32_t code);

// The messages of every "WTW/Log" call, in order.
std::vector<std::wstring> logMessages(const std::vector<RecordedCall>& calls);
// True when some log message starts with the prefix.
bool hasLogLine(const std::vector<RecordedCall>& calls, const std::wstring& prefix);
size_t countLogLines(const std::vector<RecordedCall>& calls, const std::wstring& prefix);
// "%p" as the log writes it: sixteen upper-case hexadecimal digits.
std::wstring pointerText(const void* value);

// Announcements in arrival order, one line each: "notify <title>" for an item
// notification, "news <id>" for a news entry, "error <title> | <text>" for a warning.
std::vector<std::wstring> announcements(const std::vector<RecordedCall>& calls);

// Waits until the cleaner thread has logged its end `count` times.
bool waitForCleanerEnds(const RecordingHost& host, size_t count, std::chrono::milliseconds timeout = 10s);

// Polls the condition until it holds or the timeout passes.
bool pollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

// The same, handling this thread's window messages meanwhile (a worker may be
// waiting in SendMessage to a window of this thread).
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
