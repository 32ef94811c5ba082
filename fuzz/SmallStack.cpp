#include "SmallStack.h"

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

void* runWork(void* work)
{
    try {
        (*static_cast<const std::function<void()>*>(work))();
    } catch (...) {
        // An escaping exception is a finding: end like a crash, with the reason.
        std::fprintf(stderr, "unexpected exception on the small-stack thread\n");
        std::abort();
    }
    return nullptr;
}

[[noreturn]] void failed(const char* what, int code)
{
    std::fprintf(stderr, "%s failed: %d\n", what, code);
    std::abort();
}

} // namespace

void runOnSmallStack(size_t stackBytes, const std::function<void()>& work)
{
    pthread_attr_t attributes;
    if (int code = pthread_attr_init(&attributes))
        failed("pthread_attr_init", code);
    if (int code = pthread_attr_setstacksize(&attributes, stackBytes))
        failed("pthread_attr_setstacksize", code);
    pthread_t thread;
    const int created = pthread_create(&thread, &attributes, runWork, const_cast<std::function<void()>*>(&work));
    pthread_attr_destroy(&attributes);
    if (created)
        failed("pthread_create", created);
    if (int code = pthread_join(thread, nullptr))
        failed("pthread_join", code);
}
