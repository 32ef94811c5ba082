#include "ProcessCounts.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <set>
#include <vector>

#include "RecordingHost.h"
#include "base/UniqueHandle.h"

namespace {

// The system's extended handle table, as NtQuerySystemInformation class 64 fills it.
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

constexpr ULONG kExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
using QuerySystemInformation = LONG(NTAPI*)(ULONG, void*, ULONG, ULONG*);

std::vector<HandleEntry> ownHandles()
{
    std::vector<HandleEntry> mine;
    static const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return mine;
    std::vector<char> buffer(1 << 16);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kInfoLengthMismatch)
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    if (status != 0)
        return mine;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].processId == GetCurrentProcessId())
            mine.push_back(table->entries[i]);
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
    std::map<int, size_t> types;
    for (const HandleEntry& entry : ownHandles())
        ++types[entry.objectTypeIndex];
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
