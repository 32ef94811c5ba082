#pragma once
// A bounded wait that still handles messages other threads send to this one,
// so a thread blocked in SendMessage to our window cannot stall the wait.
#include <windows.h>

#include <cstdint>

// Waits for the object, or only lets the time pass when it is null.
// True when the object was signalled within timeoutMs.
bool waitPumpingSentMessages(HANDLE object, uint32_t timeoutMs);
