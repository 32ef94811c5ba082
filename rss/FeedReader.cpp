#include "rss/FeedReader.h"

#include <string>

#include "net/HttpClient.h"
#include "rss/ChannelReader.h"

FeedDocument readFeed(const Url& url)
{
    FeedDocument feed;
    // The address asked for is the base of the document's relative links.
    feed.channel = readChannel(HttpClient::fetch(url), url.text());
    return feed;
}
