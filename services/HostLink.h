#pragma once
// One load's way to the host: its table, and the gate every call from a
// worker-side thread passes. Each load makes its own link and unload closes
// it, so no thread of the plug-in talks to the host after unload, nor to the
// table of another load: a worker keeps the (closed) link of the load that
// started it.
#include <cstdint>
#include <mutex>

#include "host/HostApi.h"

class HostLink {
public:
    explicit HostLink(const HostApi* host) : host_(host) {}
    HostLink(const HostLink&) = delete;
    HostLink& operator=(const HostLink&) = delete;

    // For calls on the host's own thread, which need no pass.
    const HostApi* host() const { return host_; }

    // Refuses new passes for good, then waits at most timeoutMs for the passes
    // in flight, handling messages sent to this thread meanwhile (a host call
    // may need the unloading thread to finish). True when none is left.
    bool close(uint32_t timeoutMs);
    bool isOpen() const;
    size_t passesInFlight() const;

    // Keeps the link from closing for the length of one host call.
    class Pass {
    public:
        explicit Pass(const HostLink& link);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        explicit operator bool() const { return admitted_; }

    private:
        const HostLink& link_;
        bool admitted_;
    };

    // callHost and hostLog through a pass; false (and no call) when refused.
    bool call(const wchar_t* service, intptr_t wParam, intptr_t lParam) const;
    bool log(int32_t level, const wchar_t* moduleName, const wchar_t* format, ...) const;

private:
    const HostApi* const host_;
    mutable std::mutex mutex_;
    bool open_ = true;
    mutable size_t inFlight_ = 0;
};
