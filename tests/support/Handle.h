#pragma once
// A kernel handle closed when it goes out of scope, so a failed assertion
// leaves no event, thread or file handle behind in the test process.
#include <windows.h>

struct Handle {
    Handle(HANDLE handle = nullptr) : value(handle) {}
    ~Handle()
    {
        if (value != nullptr && value != INVALID_HANDLE_VALUE)
            CloseHandle(value);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    operator HANDLE() const { return value; }

    HANDLE value = nullptr;
};

// A manual-reset event, not yet set.
inline HANDLE manualEvent()
{
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}
