#pragma once
// What a refresh hands the panel at its end.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "rss/Channel.h"

struct ShownChannel {
    // The feed-list line it was read from: a channel keeps its nodes from one
    // refresh to the next while its line stays in the list.
    std::wstring source;
    SharedChannel channel;
};

struct PanelContent {
    std::vector<ShownChannel> channels; // in list order
    // Items of these channels that the refresh announced.
    std::set<const Item*> announced;
};

inline bool anyAnnounced(const PanelContent& content, const Channel& channel)
{
    return !content.announced.empty() &&
           std::any_of(channel.items.begin(), channel.items.end(),
                       [&](const Item& item) { return content.announced.count(&item) != 0; });
}
