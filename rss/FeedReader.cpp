#include "rss/FeedReader.h"

#include "net/HttpClient.h"
#include "rss/ChannelReader.h"

FeedDocument readFeed(const Url& url)
{
    FeedDocument feed;
    feed.channel = readChannel(HttpClient::fetch(url));
    return feed;
}
