#pragma once
// Channels of the current refresh and the last-seen time of every address.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "rss/Channel.h"

class FeedStore {
public:
    void clearChannels();
    // Takes the channel (callers done with theirs move it in) and gives the stored one.
    const Channel& addChannel(Channel channel);
    int64_t& lastSeenFor(const std::wstring& address);

    // Refreshes may overlap; each holds this for its whole length so that no
    // two of them change the store, or rebuild the panel from it, at once.
    std::mutex& refreshMutex() { return refreshMutex_; }

    std::vector<Channel> channels;
    std::map<std::wstring, int64_t> lastSeen;

private:
    std::mutex refreshMutex_;
};
