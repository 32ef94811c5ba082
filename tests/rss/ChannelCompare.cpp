#include "ChannelCompare.h"

#include <gtest/gtest.h>

namespace {

template <typename T>
void compare(std::vector<std::string>& out, const std::string& name, const T& expected, const T& found)
{
    if (!(expected == found))
        out.push_back(name + ": expected " + testing::PrintToString(expected) + ", found " +
                      testing::PrintToString(found));
}

} // namespace

std::vector<std::string> differences(const Item& e, const Item& f)
{
    std::vector<std::string> out;
    compare(out, "title", e.title, f.title);
    compare(out, "description", e.description, f.description);
    compare(out, "link", e.link, f.link);
    compare(out, "guid", e.guid, f.guid);
    compare(out, "pubDate", e.pubDate, f.pubDate);
    compare(out, "author", e.author, f.author);
    compare(out, "category", e.category, f.category);
    compare(out, "comments", e.comments, f.comments);
    compare(out, "enclosure", e.enclosure, f.enclosure);
    compare(out, "source", e.source, f.source);
    return out;
}

std::vector<std::string> differences(const Channel& e, const Channel& f)
{
    std::vector<std::string> out;
    compare(out, "title", e.title, f.title);
    compare(out, "link", e.link, f.link);
    compare(out, "description", e.description, f.description);
    compare(out, "category", e.category, f.category);
    compare(out, "cloud", e.cloud, f.cloud);
    compare(out, "copyright", e.copyright, f.copyright);
    compare(out, "docs", e.docs, f.docs);
    compare(out, "generator", e.generator, f.generator);
    compare(out, "image", e.image, f.image);
    compare(out, "language", e.language, f.language);
    compare(out, "lastBuildDate", e.lastBuildDate, f.lastBuildDate);
    compare(out, "managingEditor", e.managingEditor, f.managingEditor);
    compare(out, "pubDate", e.pubDate, f.pubDate);
    compare(out, "rating", e.rating, f.rating);
    compare(out, "skipDays", e.skipDays, f.skipDays);
    compare(out, "skipHours", e.skipHours, f.skipHours);
    compare(out, "textInput", e.textInput, f.textInput);
    compare(out, "ttl", e.ttl, f.ttl);
    compare(out, "webMaster", e.webMaster, f.webMaster);
    compare(out, "items.size", e.items.size(), f.items.size());
    for (size_t i = 0; i < e.items.size() && i < f.items.size(); ++i)
        for (const std::string& d : differences(e.items[i], f.items[i]))
            out.push_back("items[" + std::to_string(i) + "]." + d);
    return out;
}

Item titled(const std::wstring& title)
{
    Item item;
    item.title = title;
    return item;
}

Channel channelWith(const std::wstring& title, std::vector<Item> items)
{
    Channel channel;
    channel.title = title;
    channel.items = std::move(items);
    return channel;
}
