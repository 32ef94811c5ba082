// The store of channels and last-seen times.
#include <gtest/gtest.h>

#include "engine/FeedStore.h"

namespace {

Channel channelTitled(const std::wstring& title, size_t items)
{
    Channel channel;
    channel.title = title;
    for (size_t i = 0; i < items; ++i) {
        Item item;
        item.title = title + L" item " + std::to_wstring(i);
        item.pubDate = static_cast<int64_t>(1000 + i);
        channel.items.push_back(item);
    }
    return channel;
}

TEST(FeedStore, LastSeenForUnknownAddressInsertsZero)
{
    FeedStore store;
    EXPECT_EQ(store.lastSeenFor(L"http://a/feed"), 0);
    EXPECT_EQ(store.feeds.size(), 1u);
    EXPECT_EQ(store.feeds.count(L"http://a/feed"), 1u);
    store.lastSeenFor(L"http://a/feed") = 77;
    EXPECT_EQ(store.lastSeenFor(L"http://a/feed"), 77);
    EXPECT_EQ(store.feeds.size(), 1u);
}

TEST(FeedStore, AddressesAreWholeExactKeys)
{
    FeedStore store;
    const std::vector<std::pair<std::wstring, int64_t>> keys = {
        {L"http://a/feed", 1}, {L"http://a/feed/", 2}, {L"http://A/feed", 3}, {L" http://a/feed", 4}, {L"", 5}};
    for (const auto& key : keys)
        store.lastSeenFor(key.first) = key.second;
    EXPECT_EQ(store.feeds.size(), keys.size());
    for (const auto& key : keys)
        EXPECT_EQ(store.lastSeenFor(key.first), key.second)
            << "address '" << std::string(key.first.begin(), key.first.end()) << "'";
}

TEST(FeedStore, AddChannelKeepsAnIndependentCopyInOrder)
{
    FeedStore store;
    {
        Channel first = channelTitled(L"first", 2);
        store.addChannel(first);
        first.title = L"changed";
        first.items.clear();
    }
    store.addChannel(channelTitled(L"second", 1));
    store.addChannel(channelTitled(L"first", 2));
    ASSERT_EQ(store.channels.size(), 3u);
    EXPECT_EQ(store.channels[0]->title, L"first");
    EXPECT_EQ(store.channels[0]->items.size(), 2u);
    EXPECT_EQ(store.channels[0]->items[1].title, L"first item 1");
    EXPECT_EQ(store.channels[1]->title, L"second");
    EXPECT_EQ(store.channels[2]->title, L"first");
}

TEST(FeedStore, ClearChannelsKeepsLastSeen)
{
    FeedStore store;
    store.addChannel(channelTitled(L"a", 1));
    store.lastSeenFor(L"http://a/feed") = 1234;
    store.clearChannels();
    EXPECT_TRUE(store.channels.empty());
    EXPECT_EQ(store.lastSeenFor(L"http://a/feed"), 1234);
}

} // namespace
