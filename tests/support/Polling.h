#pragma once
// Waiting for a state no event announces (a library unmapped, a count settled).
#include <windows.h>

#include <chrono>
#include <functional>

// Polls the condition until it holds or the timeout passes.
inline bool pollUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(10000))
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        Sleep(5);
    }
    return true;
}
