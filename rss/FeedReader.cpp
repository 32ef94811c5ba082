#include "rss/FeedReader.h"

#include <string>

#include "net/HttpClient.h"
#include "rss/ChannelReader.h"

FeedDocument readFeed(const Url& url, const FetchControl& control)
{
    return readFeedBody(HttpClient::fetch(url, control), url);
}

FeedDocument readFeedBody(std::string body, const Url& url)
{
    FeedDocument feed;
    // The address asked for is the base of the document's relative links.
    feed.channel = readChannel(std::move(body), url.text());
    return feed;
}
