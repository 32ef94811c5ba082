#include "engine/FeedStore.h"

void FeedStore::clearChannels()
{
    channels.clear();
    announced.clear();
}

const Channel& FeedStore::addChannel(Channel channel)
{
    channels.push_back(std::make_shared<const Channel>(std::move(channel)));
    return *channels.back();
}

void FeedStore::addChannel(SharedChannel channel)
{
    channels.push_back(std::move(channel));
}

FeedMemory& FeedStore::memoryFor(const std::wstring& address)
{
    return feeds[address];
}
