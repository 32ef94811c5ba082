#pragma once
// Every call a worker-side thread makes to the host passes this gate. Load
// opens it for a new generation; unload closes it, so no thread of the
// plug-in talks to the host after unload, nor to the table of an earlier load.
#include <cstdint>

#include "host/HostApi.h"

namespace HostGate {

// Opens the gate for a new load and returns that load's generation.
uint32_t open();

// Refuses new passes, then waits at most timeoutMs for the passes in flight,
// handling messages sent to this thread meanwhile (a host call may need the
// unloading thread to finish). True when none is left in flight.
bool close(uint32_t timeoutMs);

// The generation of the current (or last) load; 0 before the first load.
uint32_t generation();
bool isOpen(uint32_t generation);
size_t passesInFlight();

// Keeps the gate from closing for the length of one host call.
class Pass {
public:
    explicit Pass(uint32_t generation);
    ~Pass();
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
    explicit operator bool() const { return admitted_; }

private:
    bool admitted_;
};

// callHost through a pass; false (and no call) when the gate refuses.
bool call(uint32_t generation, const HostApi* host, const wchar_t* service, intptr_t wParam, intptr_t lParam);

} // namespace HostGate
