#pragma once
// Fetches one feed (RSS or Atom) and reads it into a FeedDocument.
#include "net/FetchControl.h"
#include "net/Url.h"
#include "rss/Channel.h"

FeedDocument readFeed(const Url& url, const FetchControl& control);
// Reads the body of an answer from `url` as readFeed does.
FeedDocument readFeedBody(std::string body, const Url& url);
