#pragma once
// Generated RSS 2.0 feeds shaped like real ones: an XML declaration, channel
// fields, items with a link, an entity-laden description, an author, a
// category with an attribute, a guid and a date, LF/TAB indentation, and some
// non-ASCII UTF-8 text.
#include <cstddef>
#include <cstdint>
#include <string>

// Feed `feed` with `items` items whose descriptions are about `descriptionBytes`
// long, numbered from `first` (a lower number is a newer item).
std::string benchFeed(size_t feed, size_t items, size_t descriptionBytes, int64_t first = 0);

// Items of about this many description bytes until the document reaches `bytes`.
std::string benchFeedOfSize(size_t bytes, size_t descriptionBytes);
