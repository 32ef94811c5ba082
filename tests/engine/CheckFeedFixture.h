#pragma once
// One feed check at a time against a recording host and a store of the test's own.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RecordingHost.h"
#include "TestTime.h"
#include "engine/FeedCheck.h"
#include "engine/FeedFetches.h"
#include "engine/FeedStore.h"
#include "engine/RefreshTask.h"
#include "net/FetchControl.h"
#include "services/HostLink.h"

class CheckFeedFixture : public ::testing::Test {
protected:
    void SetUp() override { useUtc(); }

    void check(const std::wstring& address, bool notify)
    {
        RefreshTask task;
        task.link = link;
        task.fetches = fetches;
        task.store = &store;
        task.notify = notify;
        checkFeed(task, address.c_str(), fetchFeed(address, *fetches));
    }

    RecordingHost host;
    FeedStore store;
    // What a load makes; a test replaces the link to stand for the next load.
    std::shared_ptr<HostLink> link = std::make_shared<HostLink>(host.api());
    std::shared_ptr<FetchControl> fetches = std::make_shared<FetchControl>();
};
