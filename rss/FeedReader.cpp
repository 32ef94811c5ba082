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
    FeedDocument feed;
    feed.channel = readChannel(HttpClient::fetch(url), fetchedAddress(url));
    return feed;
}
