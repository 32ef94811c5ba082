#pragma once
// Runs work on a thread whose stack is small and fixed, so that code whose
// stack use grows with its input (recursion over a deep tree) overflows it and
// the fuzzer reports the crash, instead of passing on the main thread's 8 MB.
#include <cstddef>
#include <functional>

void runOnSmallStack(size_t stackBytes, const std::function<void()>& work);
