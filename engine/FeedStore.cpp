#include "engine/FeedStore.h"

void FeedStore::clearChannels()
{
    channels.clear();
}

const Channel& FeedStore::addChannel(Channel channel)
{
    channels.push_back(std::move(channel));
    return channels.back();
}

FeedMemory& FeedStore::memoryFor(const std::wstring& address)
{
    return feeds[address];
}
