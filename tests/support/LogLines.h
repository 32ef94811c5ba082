#pragma once
// The plug-in's "WTW/Log" lines as the recording host saw them.
#include <string>
#include <vector>

#include "RecordingHost.h"

// The messages of every "WTW/Log" call, in order.
std::vector<std::wstring> logMessages(const std::vector<RecordedCall>& calls);
size_t countLogLines(const std::vector<RecordedCall>& calls, const std::wstring& prefix);
bool hasLogLine(const std::vector<RecordedCall>& calls, const std::wstring& prefix);
// "%p" as the log writes it: sixteen upper-case hexadecimal digits.
std::wstring pointerText(const void* value);

// "Thread <handle> has ended": the cleaner reaped a worker, so its refresh is over.
bool isWorkerEnd(const std::wstring& message);
size_t endedWorkers(const std::vector<RecordedCall>& calls);
// Every cleaner thread that logged its start has logged its end too.
bool cleanersEnded(const std::vector<RecordedCall>& calls);
