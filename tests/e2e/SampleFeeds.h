#pragma once
// What the bundled sample feeds hold, written down from the files in
// samples/: the items every first notifying refresh must announce.
#include <cstdint>
#include <string>
#include <vector>

#include "LoopbackServer.h"

struct SampleItem {
    std::wstring channel;
    std::wstring title;
    std::wstring link;
    std::wstring id; // the guid, or the link when the guid is empty
    int64_t time = 0;
};

// The dated items of wiadomosci.xml, biblioteka.xml and engineering.xml, in
// feed-list and document order.
const std::vector<SampleItem>& sampleItems();

// Serves the four sample files under their own names; missing.xml answers 404.
void serveSamples(LoopbackServer& server);
// The list: the three good feeds, the broken one and a missing one.
std::vector<std::wstring> sampleFeedList(const LoopbackServer& server);

// engineering.xml with one more item, published after everything else.
std::string engineeringWithNewItem();
extern const SampleItem kNewEngineeringItem;
