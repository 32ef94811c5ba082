#include "rss/FeedReader.h"

#include <string>

#include "net/HttpClient.h"
#include "rss/ChannelReader.h"

namespace {

// The address the document was fetched from: the base of its relative links.
std::wstring fetchedAddress(const Url& url)
{
    return L"http://" + url.host + url.path;
}

} // namespace

FeedDocument readFeed(const Url& url)
{
    return readFeedBody(HttpClient::fetch(url), url);
}

FeedDocument readFeedBody(std::string body, const Url& url)
{
    FeedDocument feed;
    feed.channel = readChannel(std::move(body), fetchedAddress(url));
    return feed;
}
