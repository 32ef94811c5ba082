#pragma once
// Decides which items of one successful check are news: a date later than the
// address's last-seen time, or an identity its previous check did not have.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "engine/FeedMemory.h"
#include "rss/Channel.h"

// The guid, else the link, else the title, else the description; empty when
// the item has none of them.
const std::wstring& itemIdentity(const Item& item);

class NewItems {
public:
    explicit NewItems(const FeedMemory& memory);

    // Asked once per item, in document order. An identity counts once per
    // check, so an item the feed repeats is news at most once.
    bool isNew(const Item& item);

    // Stores what this check saw: the later last-seen time and, when it read
    // any item, its identities in place of the previous check's.
    void rememberIn(FeedMemory& memory);

private:
    const int64_t lastSeen_;
    const bool comparable_; // the address has identities of an earlier check
    const std::unordered_set<std::wstring>& previous_;
    int64_t newest_ = 0;
    size_t itemsRead_ = 0;
    std::unordered_set<std::wstring> identities_;
};
