#pragma once
// What the store keeps of one feed address between refreshes; all but the
// channel and the outage is also kept on disk (engine/FeedStateText.h).
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "net/HttpAnswer.h"
#include "rss/Channel.h"

// The warning a failed check raises, as the host is shown it.
struct FeedWarning {
    std::wstring title;
    std::wstring text;
    bool operator==(const FeedWarning& other) const { return title == other.title && text == other.text; }
};

struct FeedMemory {
    int64_t lastSeen = 0; // newest publication date met; 0: none yet
    // Whether a check of the address has succeeded with items to remember;
    // until then identities say nothing about what is new.
    bool checked = false;
    // Each identity seen in a check of the last 30 days, with the time of the
    // last check that saw it; at most kMaxIdentities, the oldest dropped first.
    std::map<std::wstring, int64_t> identities;
    // The last refresh that found the address in the list: an address left
    // out of it for 30 days is forgotten.
    int64_t listedAt = 0;
    // The warning announced since the address last read well; empty while it does.
    std::optional<FeedWarning> outage;
    // The channel last read, shown again while the address answers that nothing
    // changed or asks to be left alone. The store's list shares it: one copy.
    SharedChannel channel;
    // Of the answer that channel came from; sent back to ask conditionally.
    HttpValidators validators;
    // A time value before which the address asked not to be asked again; 0: none.
    int64_t quietUntil = 0;
    // For an address that is a web page: the feed it named, and when the page
    // was last asked. The list keeps the page's address; this is asked instead.
    std::wstring foundFeed;
    int64_t foundAt = 0;
};
