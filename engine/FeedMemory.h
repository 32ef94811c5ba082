#pragma once
// What the store keeps of one feed address between refreshes; all but the
// channel, the outage and the unannounced mark is also kept on disk (engine/FeedStateText.h).
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
    // When the address is next asked (engine/NextAsk.h); 0: at every refresh.
    int64_t dueAt = 0;
    // The freshness in seconds the server's last answer gave (0: none); kept
    // for a 304 that gives none of its own, as a cache would.
    int64_t cacheSeconds = 0;
    // Where the feed moved for good (301, 308): asked in the address's place.
    std::wstring movedTo;
    // A silent refresh read the channel but announced nothing: the next
    // notifying refresh asks the address whatever is due. Not kept on disk:
    // after a restart every address is asked anyway, having no channel to show.
    bool unannounced = false;
    // For an address that is a web page: the feed it named, and when the page
    // was last asked. The list keeps the page's address; this is asked instead.
    std::wstring foundFeed;
    int64_t foundAt = 0;
};
