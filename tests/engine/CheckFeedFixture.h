#pragma once
// One feed check at a time against a recording host and a store of the test's own.
#include <gtest/gtest.h>

#include <string>

#include "RecordingHost.h"
#include "TestTime.h"
#include "engine/FeedCheck.h"
#include "engine/FeedFetches.h"
#include "engine/FeedStore.h"
#include "engine/RefreshTask.h"
#include "services/HostGate.h"

class CheckFeedFixture : public ::testing::Test {
protected:
    // Dates in UTC; the gate opened as a load does (an earlier test's unload in
    // this process closed it; the test main resumes fetches).
    void SetUp() override
    {
        useUtc();
        generation = HostGate::open();
    }
    void TearDown() override { HostGate::close(0); }

    void check(const std::wstring& address, bool notify)
    {
        RefreshTask task;
        task.host = host.api();
        task.store = &store;
        task.notify = notify;
        task.generation = generation;
        checkFeed(task, address.c_str(), fetchFeed(address));
    }

    RecordingHost host;
    FeedStore store;
    uint32_t generation = 0;
};
