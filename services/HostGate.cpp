#include "services/HostGate.h"

#include <windows.h>

#include <algorithm>
#include <mutex>

#include "services/PumpingWait.h"

namespace {

constexpr uint32_t kDrainSliceMs = 5;

struct GateState {
    std::mutex mutex;
    uint32_t generation = 0;
    bool open = false;
    size_t inFlight = 0;
};

GateState& state()
{
    static GateState gate;
    return gate;
}

} // namespace

namespace HostGate {

uint32_t open()
{
    GateState& gate = state();
    std::lock_guard<std::mutex> hold(gate.mutex);
    gate.open = true;
    return ++gate.generation;
}

bool close(uint32_t timeoutMs)
{
    GateState& gate = state();
    {
        std::lock_guard<std::mutex> hold(gate.mutex);
        gate.open = false;
    }
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        if (passesInFlight() == 0)
            return true;
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= timeoutMs)
            return false;
        waitPumpingSentMessages(nullptr, std::min<uint32_t>(kDrainSliceMs, timeoutMs - static_cast<uint32_t>(elapsed)));
    }
}

uint32_t generation()
{
    GateState& gate = state();
    std::lock_guard<std::mutex> hold(gate.mutex);
    return gate.generation;
}

bool isOpen(uint32_t generation)
{
    GateState& gate = state();
    std::lock_guard<std::mutex> hold(gate.mutex);
    return gate.open && gate.generation == generation;
}

size_t passesInFlight()
{
    GateState& gate = state();
    std::lock_guard<std::mutex> hold(gate.mutex);
    return gate.inFlight;
}

Pass::Pass(uint32_t generation)
{
    GateState& gate = state();
    std::lock_guard<std::mutex> hold(gate.mutex);
    admitted_ = gate.open && gate.generation == generation;
    if (admitted_)
        ++gate.inFlight;
}

Pass::~Pass()
{
    if (!admitted_)
        return;
    GateState& gate = state();
    std::lock_guard<std::mutex> hold(gate.mutex);
    --gate.inFlight;
}

bool call(uint32_t generation, const HostApi* host, const wchar_t* service, intptr_t wParam, intptr_t lParam)
{
    Pass pass(generation);
    if (!pass)
        return false;
    callHost(host, service, wParam, lParam);
    return true;
}

} // namespace HostGate
