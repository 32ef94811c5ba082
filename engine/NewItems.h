#pragma once
// Decides which items of one successful check are news. Once an address has
// been checked, an item is news when its identity was not seen in a check of
// the last 30 days; before that, when its date is later than the address's
// last-seen time (so a first check announces only dated items).
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "engine/FeedMemory.h"
#include "rss/Channel.h"

// How long a seen identity keeps an item that drops out of a rotating feed
// and comes back from being announced again.
inline constexpr int64_t kIdentityMemorySeconds = 30 * 24 * 3600;
// How fine the remembered times are: a refresh that saw only what it saw a
// day ago changes nothing on disk, so the state file is not rewritten every
// five minutes for times alone.
inline constexpr int64_t kSeenTimeResolutionSeconds = 24 * 3600;
// Identities kept per address: a month of a busy news feed (about thirty
// items a day), while 200 feeds still keep the state file small.
inline constexpr size_t kMaxIdentities = 1000;

// The guid, else the link, else the title, else the description; empty when
// the item has none of them.
const std::wstring& itemIdentity(const Item& item);

class NewItems {
public:
    NewItems(const FeedMemory& memory, int64_t now);

    // Asked once per item, in document order. An identity counts once per
    // check, so an item the feed repeats is news at most once.
    bool isNew(const Item& item);

    // Stores what this check saw: the later last-seen time and, when it read
    // any item, its identities as seen now.
    void rememberIn(FeedMemory& memory);

private:
    const int64_t lastSeen_;
    const bool comparable_; // the address has identities of earlier checks
    const std::map<std::wstring, int64_t>& previous_;
    const int64_t now_;
    int64_t newest_ = 0;
    size_t itemsRead_ = 0;
    std::set<std::wstring> identities_;
};
