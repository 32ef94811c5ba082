#pragma once
// Heap bytes in use while a measurement is on: the benchmark binary replaces
// the global operator new and delete with counting ones, and the C libraries
// (pugixml, libxml2, expat) get the counting functions below as their
// allocators. Sizes are the C library's usable sizes, so the counts are what
// the heap really hands out. Single-threaded: the benchmark runs one parse at
// a time.
#include <cstddef>

namespace counting {

void start();     // live and peak to 0, counting on
void stop();      // counting off
long long peak(); // highest live count since start
long long live(); // bytes allocated and not freed since start

void* allocate(size_t bytes);
void release(void* memory);
void* reallocate(void* memory, size_t bytes);
char* duplicate(const char* text);

} // namespace counting
