#pragma once
// What a refresh hands the panel at its end.
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
