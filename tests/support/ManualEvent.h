#pragma once
// A manual-reset event, not yet set, closed when the test lets it go.
#include "base/UniqueHandle.h"

inline UniqueHandle manualEvent()
{
    return UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}
