#include "engine/NewItems.h"

#include <algorithm>
#include <utility>

const std::wstring& itemIdentity(const Item& item)
{
    for (const std::wstring* field : {&item.guid, &item.link, &item.title})
        if (!field->empty())
            return *field;
    return item.description;
}

NewItems::NewItems(const FeedMemory& memory)
    : lastSeen_(memory.lastSeen), comparable_(memory.checked), previous_(memory.identities)
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
    const bool firstInCheck = identities_.insert(identity).second;
    const bool unseen = comparable_ && firstInCheck && previous_.count(identity) == 0;
    return later || unseen;
}

void NewItems::rememberIn(FeedMemory& memory)
{
    memory.lastSeen = std::max(newest_, lastSeen_);
    // A document without items (a feed emptied for a moment, a page that is
    // no feed) says nothing about which items are old: keep the last ones.
    if (itemsRead_ == 0)
        return;
    memory.identities = std::move(identities_);
    memory.checked = true;
}
