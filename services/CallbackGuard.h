#pragma once
// The one guard around every host callback and thread body: nothing the body
// throws reaches the host or ends the process; what it swallows goes to the
// host log, and the caller gets the result the host expects on failure.
#include <exception>
#include <utility>

// Writes "<where>: <what>" to the current load's log, through the gate, so a
// guard on a worker never calls a host that has unloaded the plug-in.
void logSwallowed(const wchar_t* where, const char* what) noexcept;

template <typename Result, typename Body>
Result guarded(const wchar_t* where, Result onFailure, Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& error) {
        logSwallowed(where, error.what());
    } catch (...) {
        logSwallowed(where, "unknown exception");
    }
    return onFailure;
}
