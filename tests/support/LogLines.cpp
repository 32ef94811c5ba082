#include "LogLines.h"

#include <cstdio>

std::vector<std::wstring> logMessages(const std::vector<RecordedCall>& calls)
{
    std::vector<std::wstring> messages;
    for (const RecordedCall& call : calls)
        if (call.service == L"WTW/Log")
            messages.push_back(call.text(16));
    return messages;
}

size_t countLogLines(const std::vector<RecordedCall>& calls, const std::wstring& prefix)
{
    size_t count = 0;
    for (const std::wstring& message : logMessages(calls))
        count += message.compare(0, prefix.size(), prefix) == 0;
    return count;
}

bool hasLogLine(const std::vector<RecordedCall>& calls, const std::wstring& prefix)
{
    return countLogLines(calls, prefix) > 0;
}

std::wstring pointerText(const void* value)
{
    wchar_t text[32];
    swprintf(text, 32, L"%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(value)));
    return text;
}

bool isWorkerEnd(const std::wstring& message)
{
    return message.rfind(L"Thread ", 0) == 0 && message.find(L" has ended") != std::wstring::npos;
}

size_t endedWorkers(const std::vector<RecordedCall>& calls)
{
    size_t ended = 0;
    for (const std::wstring& message : logMessages(calls))
        ended += isWorkerEnd(message);
    return ended;
}

bool cleanersEnded(const std::vector<RecordedCall>& calls)
{
    return countLogLines(calls, L"Starting cleaner thread ") == countLogLines(calls, L"Cleaner thread ");
}
