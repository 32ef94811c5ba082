#include "AllocationCounter.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool active = false;
long long liveBytes = 0;
long long peakBytes = 0;

void added(void* memory)
{
    if (active && memory) {
        liveBytes += static_cast<long long>(malloc_usable_size(memory));
        if (liveBytes > peakBytes)
            peakBytes = liveBytes;
    }
}

void removed(void* memory)
{
    if (active && memory)
        liveBytes -= static_cast<long long>(malloc_usable_size(memory));
}

} // namespace

namespace counting {

void start()
{
    liveBytes = peakBytes = 0;
    active = true;
}

void stop()
{
    active = false;
}

long long peak()
{
    return peakBytes;
}

long long live()
{
    return liveBytes;
}

void* allocate(size_t bytes)
{
    void* memory = std::malloc(bytes);
    added(memory);
    return memory;
}

void release(void* memory)
{
    removed(memory);
    std::free(memory);
}

void* reallocate(void* memory, size_t bytes)
{
    removed(memory);
    void* moved = std::realloc(memory, bytes);
    added(moved ? moved : memory); // a failed realloc keeps the old block
    return moved;
}

char* duplicate(const char* text)
{
    const size_t bytes = std::strlen(text) + 1;
    char* copy = static_cast<char*>(allocate(bytes));
    if (copy)
        std::memcpy(copy, text, bytes);
    return copy;
}

} // namespace counting

// Every C++ allocation of the benchmark binary: ours, tinyxml2, the expat tree.
void* operator new(size_t bytes)
{
    if (void* memory = counting::allocate(bytes ? bytes : 1))
        return memory;
    throw std::bad_alloc();
}

void* operator new[](size_t bytes)
{
    return operator new(bytes);
}

void operator delete(void* memory) noexcept
{
    counting::release(memory);
}

void operator delete[](void* memory) noexcept
{
    counting::release(memory);
}

void operator delete(void* memory, size_t) noexcept
{
    counting::release(memory);
}

void operator delete[](void* memory, size_t) noexcept
{
    counting::release(memory);
}
