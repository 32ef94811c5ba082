#pragma once
// A failed property ends the run like a crash: libFuzzer then saves the input.
#include <cstdio>
#include <cstdlib>

#define QF_FUZZ_CHECK(condition, ...)                                                                                  \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "property failed: %s\n", #condition);                                                 \
            std::fprintf(stderr, __VA_ARGS__);                                                                         \
            std::fprintf(stderr, "\n");                                                                                \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
