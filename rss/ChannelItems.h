#pragma once
// How many items one channel may hold.
#include <cstddef>

#include "rss/Channel.h"
#include "rss/DocumentScope.h"

// Real feeds keep ten to a few thousand items (a podcast's back catalogue; the refresh benchmark's 21 MB feed 8 604).
inline constexpr size_t kMaxItems = 10000;

// Adds an item to the channel; one more than kMaxItems rejects the whole body
// (RSS::XMLException at the document's end: the tree keeps no byte positions).
void addItem(Channel& channel, Item item, const DocumentScope& scope);
