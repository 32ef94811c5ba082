#pragma once
// What the store keeps of one feed address between refreshes, for as long as
// the library stays in the process.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>

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
};
