#pragma once
// Fetches, parses and reads one RSS feed into a FeedDocument.
#include <cstdint>
#include <string>

#include "net/Url.h"
#include "rss/Channel.h"

FeedDocument readFeed(const Url& url);
std::wstring decodeText(const std::string& text, const std::string& encodingName);
int64_t parseFeedDate(const std::string& text);
