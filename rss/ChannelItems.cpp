#include "rss/ChannelItems.h"

#include <utility>

#include "xml/XmlError.h"

void addItem(Channel& channel, Item item, const DocumentScope& scope)
{
    if (channel.items.size() == kMaxItems)
        Xml::failOverLimit("More than ", kMaxItems, " items in the channel", scope.documentSize());
    channel.items.push_back(std::move(item));
}
