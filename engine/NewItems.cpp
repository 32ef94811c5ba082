#include "engine/NewItems.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Drops identities not seen for 30 days, then the oldest beyond the bound.
void forgetOldIdentities(std::map<std::wstring, int64_t>& identities, int64_t now)
{
    for (auto it = identities.begin(); it != identities.end();)
        it = it->second < now - kIdentityMemorySeconds ? identities.erase(it) : std::next(it);
    if (identities.size() <= kMaxIdentities)
        return;
    std::vector<int64_t> times;
    times.reserve(identities.size());
    for (const auto& entry : identities)
        times.push_back(entry.second);
    const size_t surplus = identities.size() - kMaxIdentities;
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(surplus - 1), times.end());
    const int64_t cut = times[surplus - 1];
    size_t dropped = 0;
    for (auto it = identities.begin(); it != identities.end() && dropped < surplus;) {
        if (it->second <= cut) {
            it = identities.erase(it);
            ++dropped;
        } else {
            ++it;
        }
    }
}

} // namespace

const std::wstring& itemIdentity(const Item& item)
{
    for (const std::wstring* field : {&item.guid, &item.link, &item.title})
        if (!field->empty())
            return *field;
    return item.description;
}

NewItems::NewItems(const FeedMemory& memory, int64_t now)
    : lastSeen_(memory.lastSeen), comparable_(memory.checked), previous_(memory.identities), now_(now)
{
}

bool NewItems::isNew(const Item& item)
{
    ++itemsRead_;
    const bool later = item.pubDate > lastSeen_;
    if (later)
        newest_ = std::max(newest_, item.pubDate);

    const std::wstring& identity = itemIdentity(item);
    if (identity.empty())
        return later; // nothing to recognise it by
    if (!identities_.insert(identity).second)
        return false; // repeated within this document
    if (!comparable_)
        return later;
    const auto seen = previous_.find(identity);
    return seen == previous_.end() || seen->second < now_ - kIdentityMemorySeconds;
}

void NewItems::rememberIn(FeedMemory& memory)
{
    memory.lastSeen = std::max(newest_, lastSeen_);
    // A document without items (a feed emptied for a moment, a page that is
    // no feed) says nothing about which items are old: keep the last ones.
    if (itemsRead_ == 0)
        return;
    for (const std::wstring& identity : identities_) {
        int64_t& seenAt = memory.identities[identity];
        if (now_ - seenAt >= kSeenTimeResolutionSeconds)
            seenAt = now_;
    }
    forgetOldIdentities(memory.identities, now_);
    memory.checked = true;
}
