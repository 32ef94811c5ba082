#pragma once
// Fetches one feed (RSS or Atom) and reads it into a FeedDocument.
#include "net/Url.h"
#include "rss/Channel.h"

FeedDocument readFeed(const Url& url);
