#pragma once
// A system call that takes no time limit and cannot be cancelled (a name
// lookup, the proxy's discovery) made on a thread of its own. The fetch waits
// for it until its time or its cancel; when it goes on without it, the thread
// ends by itself later, holding only what the call shares and a reference to
// the library.
#include <cstdint>
#include <functional>

#include "net/FetchControl.h"

// Runs `call` (on this thread when no other can be started) and waits for it:
// true when it finished, false when `until` (a GetTickCount64() value) passed
// first; the cancel when the control is cancelled. A finished call is taken
// even when the time is up. `call` must own, or share, all it touches.
bool callDetached(std::function<void()> call, uint64_t until, const FetchControl& control);
