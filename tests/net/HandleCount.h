#pragma once
// The number of handles this process holds (sockets included). GetProcessHandleCount
// answers 0 under Wine, so the system's handle table is read instead.
#include <cstddef>
#include <map>

size_t openHandleCount();
// Object type index -> how many open handles of that type, to tell what leaked.
std::map<int, size_t> openHandlesByType();
