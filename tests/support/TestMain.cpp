// The main of every test program. A program runs all its cases in one process,
// so each case starts from the state a freshly mapped library has: no channels
// or memory of any address in the store, fetches allowed (an earlier unload cancels
// them all) and the HTTP client's own limits.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/Plugin.h"
#include "net/HttpClient.h"

namespace {

class FreshLibraryState : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override
    {
        FeedStore& store = Plugin::instance().store;
        store.channels.clear();
        store.feeds.clear();
        HttpClient::resumeAll();
        HttpClient::setLimits(FetchLimits{});
    }
};

} // namespace

int main(int argc, char** argv)
{
    // Output goes to a file, which the C runtime buffers whole: a process that
    // dies would take everything it printed with it.
    setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshLibraryState);
    return RUN_ALL_TESTS();
}
