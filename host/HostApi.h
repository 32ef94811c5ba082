#pragma once
// The host's function table and the shape of the callbacks we register.
#include <cstddef>
#include <cstdint>

using HostService = intptr_t (*)(const wchar_t* service, intptr_t wParam, intptr_t lParam);
using HostCallback = intptr_t (*)(intptr_t eventRecord, intptr_t unused, void* callbackData);

// Only the third entry is ours to use; the rest of the table is the host's.
struct HostApi {
    void* reserved0;
    void* reserved1;
    HostService callService;
};
static_assert(offsetof(HostApi, callService) == 16, "callService is the table's third entry");

inline intptr_t callHost(const HostApi* host, const wchar_t* service, intptr_t wParam, intptr_t lParam)
{
    if (host == nullptr || host->callService == nullptr)
        return 0;
    return host->callService(service, wParam, lParam);
}
