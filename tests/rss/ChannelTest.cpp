#include <gtest/gtest.h>

#include <memory>

#include "ChannelCompare.h"

namespace {

Item item(const wchar_t* title, int64_t date)
{
    Item made;
    made.title = title;
    made.pubDate = date;
    made.guid = std::wstring(L"g-") + title;
    return made;
}

TEST(Channel, FreshRecordsAreEmpty)
{
    const Channel channel;
    EXPECT_TRUE(channel.title.empty() && channel.link.empty() && channel.description.empty() &&
                channel.webMaster.empty() && channel.items.empty());
    EXPECT_EQ(channel.lastBuildDate, 0);
    EXPECT_EQ(channel.pubDate, 0);
    EXPECT_EQ(channel.ttl, 0);
    const Item fresh;
    EXPECT_TRUE(fresh.title.empty() && fresh.source.empty() && fresh.enclosure.empty());
    EXPECT_EQ(fresh.pubDate, 0);
    EXPECT_TRUE(FeedDocument{}.channel.items.empty());
}

TEST(Channel, CopyWithoutItemsHasNoItems)
{
    Channel source;
    source.title = L"no items";
    const Channel copy = source;
    EXPECT_TRUE(copy.items.empty());
    EXPECT_EQ(differences(source, copy), std::vector<std::string>{});
}

TEST(Channel, CopyOutlivesItsSourceWithItemsInOrder)
{
    auto source = std::make_unique<Channel>();
    source->title = L"t";
    source->ttl = 15;
    source->items = {item(L"one", 1), item(L"two", 2), item(L"three", 3)};
    Channel copy = *source;
    Channel expected;
    expected.title = L"t";
    expected.ttl = 15;
    expected.items = {item(L"one", 1), item(L"two", 2), item(L"three", 3)};
    source->items[0].title = L"changed";
    source.reset();
    EXPECT_EQ(differences(expected, copy), std::vector<std::string>{});
}

TEST(Channel, AssignmentReplacesItemsDeeply)
{
    Channel target;
    target.items = {item(L"old", 9)};
    Channel source;
    source.items = {item(L"new", 1), item(L"newer", 2)};
    target = source;
    source.items.clear();
    ASSERT_EQ(target.items.size(), 2u);
    EXPECT_EQ(target.items[0].title, L"new");
    EXPECT_EQ(target.items[1].guid, L"g-newer");
}

} // namespace
