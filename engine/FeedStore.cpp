#include "engine/FeedStore.h"

void FeedStore::clearChannels()
{
    channels.clear();
}

void FeedStore::addChannel(const Channel& channel)
{
    channels.push_back(channel);
}

int64_t& FeedStore::lastSeenFor(const std::wstring& address)
{
    return lastSeen[address];
}
