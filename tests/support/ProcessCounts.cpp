#include "ProcessCounts.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "RecordingHost.h"
#include "base/UniqueHandle.h"

namespace {

// Wine hands out the lowest free handle value (4, 8, 12...): past this many
// free values in a row there are no more of ours. No test holds that many.
constexpr uintptr_t kMostFreeInARow = 4096;
constexpr ULONG kObjectTypeInformation = 2;
using QueryObject = LONG(NTAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

// The type name of an open handle (its first UNICODE_STRING), "" when unreadable.
std::wstring typeName(HANDLE handle)
{
    static const auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    struct Name {
        USHORT length;
        USHORT maximumLength;
        const wchar_t* buffer;
    };
    alignas(8) char info[1024];
    if (query == nullptr || query(handle, kObjectTypeInformation, info, sizeof info, nullptr) != 0)
        return std::wstring();
    const auto* name = reinterpret_cast<const Name*>(info);
    return std::wstring(name->buffer, name->length / sizeof(wchar_t));
}

// This process's own handles, found one by one. Not the system's handle table
// (NtQuerySystemInformation): Wine 8's server can crash walking the tables of
// processes that are ending, as its core showed under a loaded test run.
std::vector<HANDLE> ownHandles()
{
    std::vector<HANDLE> mine;
    uintptr_t freeInARow = 0;
    for (uintptr_t value = 4; freeInARow < kMostFreeInARow; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            mine.push_back(reinterpret_cast<HANDLE>(value));
            freeInARow = 0;
        } else {
            ++freeInARow;
        }
    }
    return mine;
}

} // namespace

size_t threadCount()
{
    UniqueHandle snapshot{CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0)};
    if (!snapshot)
        return 0;
    size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    return count;
}

size_t handleCount()
{
    return ownHandles().size();
}

std::map<int, size_t> handlesByType()
{
    static std::map<std::wstring, int> indexes; // a type's number, stable within the process
    std::map<int, size_t> types;
    for (HANDLE handle : ownHandles()) {
        const std::wstring name = typeName(handle);
        const auto known = indexes.emplace(name, static_cast<int>(indexes.size()));
        ++types[known.first->second];
    }
    return types;
}

size_t settledCount(size_t (*count)(), size_t limit, std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    size_t seen = count();
    while (seen > limit && std::chrono::steady_clock::now() < until) {
        Sleep(20);
        seen = count();
    }
    return seen;
}

bool callingThreadsEnded(const std::vector<RecordedCall>& calls, std::chrono::milliseconds ceiling)
{
    std::set<DWORD> threads;
    for (const RecordedCall& call : calls)
        if (call.threadId != GetCurrentThreadId())
            threads.insert(call.threadId);
    const auto until = std::chrono::steady_clock::now() + ceiling;
    for (DWORD id : threads) {
        UniqueHandle thread{OpenThread(SYNCHRONIZE, FALSE, id)};
        if (!thread)
            continue; // gone, its id released
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (WaitForSingleObject(thread.get(), static_cast<DWORD>(std::max<long long>(left.count(), 0))) !=
            WAIT_OBJECT_0)
            return false;
    }
    return true;
}
