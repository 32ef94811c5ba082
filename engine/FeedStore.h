#pragma once
// Channels of the current refresh and what is kept of every address checked.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <utility>
#include <map>
#include <string>
#include <vector>

#include "engine/FeedMemory.h"
#include "engine/RefreshQueue.h"
#include "rss/Channel.h"

class FeedStore {
public:
    void clearChannels();
    // Takes the channel (callers done with theirs move it in) and gives the stored one.
    const Channel& addChannel(Channel channel);
    // Shows a channel kept from an earlier refresh again, without copying it.
    void addChannel(SharedChannel channel);
    // The address's record, created empty on first use and never removed.
    FeedMemory& memoryFor(const std::wstring& address);
    int64_t& lastSeenFor(const std::wstring& address) { return memoryFor(address).lastSeen; }

    // One refresh at a time, rebuild included, one more waiting: none may
    // change the store under another, and the panel never shows a mix of two.
    RefreshQueue& refreshQueue() { return refreshQueue_; }

    // The next refresh asks every address, whatever is due: the user just
    // edited the list and wants news now. Set from the options page's thread.
    void askEveryAddressNext() { askEveryAddress_ = true; }
    bool takeAskEveryAddress() { return askEveryAddress_.exchange(false); }

    // Seconds since 1970 (UTC); tests set another clock to live a month in a moment.
    int64_t now() const { return clock_ ? clock_() : _time64(nullptr); }
    void setClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

    ChannelList channels;
    // Items of those channels the current refresh announced (the panel shows them as new).
    std::vector<const Item*> announced;
    // The state file's text as last read or written: a refresh that changed
    // nothing writes nothing.
    std::string savedState;
    // Whether a refresh of this library has read the state file yet.
    bool stateRead = false;
    // Keyed by the feed-list line exactly as written.
    std::map<std::wstring, FeedMemory> feeds;

private:
    RefreshQueue refreshQueue_;
    std::atomic<bool> askEveryAddress_{false};
    std::function<int64_t()> clock_;
};
