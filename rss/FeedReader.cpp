#include "rss/FeedReader.h"

FeedDocument readFeed(const Url&)
{
    return FeedDocument{};
}
std::wstring decodeText(const std::string&, const std::string&)
{
    return std::wstring();
}
int64_t parseFeedDate(const std::string&)
{
    return 0;
}
