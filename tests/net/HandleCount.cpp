#include "HandleCount.h"

#include <windows.h>

#include <vector>

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
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return mine;
    std::vector<char> buffer(1 << 16);
    ULONG length = 0;
    LONG status;
    while ((status = query(kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return mine;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].processId == GetCurrentProcessId())
            mine.push_back(table->entries[i]);
    return mine;
}

} // namespace

size_t openHandleCount()
{
    return ownHandles().size();
}

std::map<int, size_t> openHandlesByType()
{
    std::map<int, size_t> types;
    for (const HandleEntry& entry : ownHandles())
        ++types[entry.objectTypeIndex];
    return types;
}
