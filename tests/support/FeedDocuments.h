#pragma once
// RSS documents written for tests: dated or undated items in a channel.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The RFC 822 form feeds carry, e.g. "Wed, 02 Oct 2002 13:00:00 GMT".
std::string rfc822(int64_t seconds);

struct FeedItem {
    FeedItem(std::string title = {}, std::string link = {}, std::string guid = {}, int64_t pubDate = 0,
             std::string description = {})
        : title(std::move(title)), link(std::move(link)), guid(std::move(guid)), pubDate(pubDate),
          description(std::move(description))
    {
    }
    std::string title;
    std::string link;
    std::string guid;        // empty: the item has no guid element
    int64_t pubDate = 0;     // 0: the item has no pubDate element
    std::string description; // empty: the item has no description element
};
std::string rssDocument(const std::string& channelTitle, const std::vector<FeedItem>& items);
