#include "rss/ChannelReader.h"

#include <cstdint>
#include <cstdlib>

#include "rss/CharacterReferences.h"
#include "rss/FeedDate.h"
#include "rss/TextDecoding.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

namespace {

// One row of a field table: the element name and where its converted text goes.
template <typename Record>
struct Field {
    const char* name;
    std::wstring Record::*text;
    int64_t Record::*date;
};

const Field<Channel> channelFields[] = {
    {"title", &Channel::title, nullptr},
    {"description", &Channel::description, nullptr},
    {"link", &Channel::link, nullptr},
    {"category", &Channel::category, nullptr},
    {"cloud", &Channel::cloud, nullptr},
    {"copyright", &Channel::copyright, nullptr},
    {"docs", &Channel::docs, nullptr},
    {"generator", &Channel::generator, nullptr},
    {"image", &Channel::image, nullptr},
    {"language", &Channel::language, nullptr},
    {"lastBuildDate", nullptr, &Channel::lastBuildDate},
    {"managingEditor", &Channel::managingEditor, nullptr},
    {"pubDate", nullptr, &Channel::pubDate},
    {"rating", &Channel::rating, nullptr},
    {"skipDays", &Channel::skipDays, nullptr},
    {"skipHours", &Channel::skipHours, nullptr},
    {"textInput", &Channel::textInput, nullptr},
    {"webMaster", &Channel::webMaster, nullptr},
};

const Field<Item> itemFields[] = {
    {"title", &Item::title, nullptr},         {"description", &Item::description, nullptr},
    {"link", &Item::link, nullptr},           {"author", &Item::author, nullptr},
    {"category", &Item::category, nullptr},   {"comments", &Item::comments, nullptr},
    {"enclosure", &Item::enclosure, nullptr}, {"guid", &Item::guid, nullptr},
    {"pubDate", nullptr, &Item::pubDate},     {"source", &Item::source, nullptr},
};

// References are decoded after the conversion, so that each gives its
// character whatever the document's encoding.
std::wstring shownText(const std::string& text, const std::string& encoding)
{
    return decodeReferences(decodeText(text, encoding));
}

// Fills the record's field named like the element, if any; true when one matched.
template <typename Record, size_t N>
bool assignField(Record& record, const Field<Record> (&fields)[N], const XmlNode& element, const std::string& encoding)
{
    for (const Field<Record>& field : fields) {
        if (element.name != field.name)
            continue;
        if (field.text)
            record.*field.text = shownText(element.text, encoding);
        else
            record.*field.date = parseFeedDate(element.text);
        return true;
    }
    return false;
}

Item readItem(const XmlNode& element, const std::string& encoding)
{
    Item item;
    for (const auto& child : element.children)
        assignField(item, itemFields, *child, encoding);
    return item;
}

void readChannelChild(Channel& channel, const XmlNode& child, const std::string& encoding)
{
    if (assignField(channel, channelFields, child, encoding))
        return;
    if (child.name == "ttl")
        channel.ttl = static_cast<int32_t>(atoi(child.text.c_str()));
    else if (child.name == "item")
        channel.items.push_back(readItem(child, encoding));
}

// Each child is released as soon as it is read, so the tree shrinks while the
// channel grows instead of both being held whole.
void readChannelElement(Channel& channel, XmlNode& element, const std::string& encoding)
{
    for (auto& child : element.children) {
        readChannelChild(channel, *child, encoding);
        child.reset();
    }
}

} // namespace

Channel readChannel(std::string body)
{
    XmlNode document;
    XmlParser parser(body, &document);
    std::string().swap(body); // the tree holds what is needed from here on
    Channel channel;
    // Whatever the top-level element is called, its first child is read as the channel.
    if (document.children.size() == 1 && !document.children.front()->children.empty())
        readChannelElement(channel, *document.children.front()->children.front(), parser.encoding);
    return channel;
}
