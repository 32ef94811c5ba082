#pragma once
// What the store keeps of one feed address between refreshes, for as long as
// the library stays in the process.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

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
    // The identities of the items of that check: replaced by every such check,
    // so they never outgrow one document.
    std::unordered_set<std::wstring> identities;
    // The warning announced since the address last read well; empty while it does.
    std::optional<FeedWarning> outage;
    // The channel last read, shown again while the address answers that nothing
    // changed or asks to be left alone. The store's list shares it: one copy.
    SharedChannel channel;
    // Of the answer that channel came from; sent back to ask conditionally.
    HttpValidators validators;
    // A time value before which the address asked not to be asked again; 0: none.
    int64_t quietUntil = 0;
};
