#pragma once
// The host's function table: callService looks the service up by name and
// hands wParam and lParam to its handler. One dispatcher serves a process,
// because the table holds a plain function pointer.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "host/HostApi.h"

using ServiceHandler = std::function<intptr_t(intptr_t wParam, intptr_t lParam)>;

class ServiceDispatcher {
public:
    // Told once about every service name the host does not know.
    using UnknownHandler = std::function<void(const std::wstring& service)>;

    explicit ServiceDispatcher(UnknownHandler unknown);
    ~ServiceDispatcher();
    ServiceDispatcher(const ServiceDispatcher&) = delete;
    ServiceDispatcher& operator=(const ServiceDispatcher&) = delete;

    // Handlers are added before the plug-in is loaded and never changed after.
    void add(const std::wstring& service, ServiceHandler handler);
    const HostApi* api() const { return &table_.api; }

    intptr_t call(const wchar_t* service, intptr_t wParam, intptr_t lParam);

private:
    static intptr_t callService(const wchar_t* service, intptr_t wParam, intptr_t lParam);

    // A host table is longer than the three entries a plug-in may use.
    struct Table {
        HostApi api;
        void* spare[13];
    } table_{};
    std::map<std::wstring, ServiceHandler> handlers_;
    UnknownHandler unknown_;
    std::mutex unknownMutex_;
    std::set<std::wstring> reported_;
};
