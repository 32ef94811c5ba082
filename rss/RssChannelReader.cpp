#include "rss/RssChannelReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "rss/ChannelItems.h"
#include "rss/FeedDate.h"
#include "rss/FeedNamespaces.h"
#include "rss/FieldText.h"

namespace {

using FeedNamespaces::kContent;
using FeedNamespaces::kDublinCore;

enum class Conversion { Whole, Own, Link, Date };

// One row of a field table: the element and where its converted text goes.
// An extension row stands in for a missing element of RSS's own: it fills
// its field only when RSS's element left it empty (or 0).
template <typename Record>
struct Field {
    const char* uri; // nullptr: RSS's own namespace
    const char* name;
    Conversion conversion;
    std::wstring Record::*text;
    int64_t Record::*date;
};

template <typename Record>
constexpr Field<Record> text(const char* name, std::wstring Record::*target, Conversion conversion = Conversion::Whole,
                             const char* uri = nullptr)
{
    return {uri, name, conversion, target, nullptr};
}

template <typename Record>
constexpr Field<Record> date(const char* name, int64_t Record::*target, const char* uri = nullptr)
{
    return {uri, name, Conversion::Date, nullptr, target};
}

const Field<Channel> channelFields[] = {
    text("title", &Channel::title),
    text("description", &Channel::description),
    text("link", &Channel::link, Conversion::Link),
    text("category", &Channel::category),
    text("cloud", &Channel::cloud, Conversion::Own),
    text("copyright", &Channel::copyright),
    text("docs", &Channel::docs),
    text("generator", &Channel::generator),
    text("image", &Channel::image, Conversion::Own),
    text("language", &Channel::language),
    date("lastBuildDate", &Channel::lastBuildDate),
    text("managingEditor", &Channel::managingEditor),
    date("pubDate", &Channel::pubDate),
    text("rating", &Channel::rating),
    text("skipDays", &Channel::skipDays, Conversion::Own),
    text("skipHours", &Channel::skipHours, Conversion::Own),
    text("textInput", &Channel::textInput, Conversion::Own),
    text("webMaster", &Channel::webMaster),
    date("date", &Channel::pubDate, kDublinCore),
    text("creator", &Channel::managingEditor, Conversion::Whole, kDublinCore),
    text("subject", &Channel::category, Conversion::Whole, kDublinCore),
    text("rights", &Channel::copyright, Conversion::Whole, kDublinCore),
    text("language", &Channel::language, Conversion::Whole, kDublinCore),
};

const Field<Item> itemFields[] = {
    text("title", &Item::title),
    text("description", &Item::description),
    text("link", &Item::link, Conversion::Link),
    text("author", &Item::author),
    text("category", &Item::category),
    text("comments", &Item::comments),
    text("enclosure", &Item::enclosure, Conversion::Link),
    text("guid", &Item::guid),
    date("pubDate", &Item::pubDate),
    text("source", &Item::source),
    date("date", &Item::pubDate, kDublinCore),
    text("creator", &Item::author, Conversion::Whole, kDublinCore),
    text("subject", &Item::category, Conversion::Whole, kDublinCore),
    text("encoded", &Item::description, Conversion::Whole, kContent),
};

// One record being read: RSS's own elements go to `record`, the extensions
// to `extensions`, which fill the gaps once the element is read.
template <typename Record>
struct Reading {
    Record& record;
    Record extensions;
};

std::wstring convertedText(const XmlNode& element, Conversion conversion, const DocumentScope& scope)
{
    switch (conversion) {
    case Conversion::Own:
        return ownFieldText(element, scope);
    case Conversion::Link:
        return linkFieldText(element, scope);
    default:
        return wholeFieldText(element, scope);
    }
}

// Fills the field the element names, if any (the last occurrence wins); true when one matched.
template <typename Record, size_t N>
bool assignField(Reading<Record>& reading, const Field<Record> (&fields)[N], const XmlNode& element,
                 const ExpandedName& name, std::string_view ownUri, const DocumentScope& scope)
{
    for (const Field<Record>& field : fields) {
        if (name.local != field.name || name.uri != (field.uri ? std::string_view(field.uri) : ownUri))
            continue;
        Record& target = field.uri ? reading.extensions : reading.record;
        if (field.text)
            target.*field.text = convertedText(element, field.conversion, scope);
        else
            target.*field.date = parseFeedDate(element.text);
        return true;
    }
    return false;
}

template <typename Record, size_t N>
void fillGaps(Reading<Record>& reading, const Field<Record> (&fields)[N])
{
    for (const Field<Record>& field : fields) {
        if (!field.uri)
            continue;
        if (field.text && (reading.record.*field.text).empty())
            reading.record.*field.text = reading.extensions.*field.text;
        if (field.date && reading.record.*field.date == 0)
            reading.record.*field.date = reading.extensions.*field.date;
    }
}

Item readItem(const XmlNode& element, std::string_view ownUri, DocumentScope& scope)
{
    Item item;
    Reading<Item> reading{item, Item()};
    for (const auto& child : element.children) {
        const auto guard = scope.enter(*child);
        assignField(reading, itemFields, *child, scope.name(*child), ownUri, scope);
    }
    fillGaps(reading, itemFields);
    return item;
}

// How often the feed says it changes (RSS 1.0's syndication module, also met
// in RSS 2.0); read raw, the refresh's schedule makes a period of it.
void readSyndication(Channel& channel, const XmlNode& element, std::string_view local, const DocumentScope& scope)
{
    if (local == "updatePeriod")
        channel.updatePeriod = wholeFieldText(element, scope);
    else if (local == "updateFrequency")
        channel.updateFrequency = static_cast<int32_t>(
            std::clamp<long>(strtol(element.text.c_str(), nullptr, 10), 0, std::numeric_limits<int32_t>::max()));
}

// One element under the channel; items go to the channel when `itemsInside`.
void readChannelChild(Reading<Channel>& reading, const XmlNode& child, std::string_view ownUri, bool itemsInside,
                      DocumentScope& scope)
{
    const auto guard = scope.enter(child);
    const ExpandedName name = scope.name(child);
    if (name.uri == FeedNamespaces::kSyndication)
        readSyndication(reading.record, child, name.local, scope);
    if (assignField(reading, channelFields, child, name, ownUri, scope) || name.uri != ownUri)
        return;
    if (name.local == "ttl")
        reading.record.ttl = static_cast<int32_t>(atoi(child.text.c_str()));
    else if (name.local == "item" && itemsInside)
        addItem(reading.record, readItem(child, ownUri, scope), scope);
}

// The element must be in scope. Each child is released as soon as it is read, so the tree shrinks while the
// channel grows instead of both being held whole.
void readChannelElement(Reading<Channel>& reading, XmlNode& element, std::string_view ownUri, bool itemsInside,
                        DocumentScope& scope)
{
    for (auto& child : element.children) {
        readChannelChild(reading, *child, ownUri, itemsInside, scope);
        child.reset();
    }
}

bool rss1Namespace(std::string_view uri)
{
    return uri == FeedNamespaces::kRss10 || uri == FeedNamespaces::kRss090;
}

} // namespace

void readRssChannel(XmlNode& root, DocumentScope& scope, Channel& channel)
{
    // Whatever the top-level element's first child is called, it is read as the channel.
    if (root.children.empty())
        return;
    Reading<Channel> reading{channel, Channel()};
    XmlNode& element = *root.children.front();
    const auto guard = scope.enter(element);
    readChannelElement(reading, element, scope.name(root).uri, true, scope);
    fillGaps(reading, channelFields);
}

void readRdfChannel(XmlNode& root, DocumentScope& scope, Channel& channel)
{
    Reading<Channel> reading{channel, Channel()};
    for (auto& child : root.children) {
        {
            const auto guard = scope.enter(*child); // ends before the child is released
            const ExpandedName name = scope.name(*child);
            if (rss1Namespace(name.uri) && name.local == "channel")
                readChannelElement(reading, *child, name.uri, false, scope);
            else if (rss1Namespace(name.uri) && name.local == "item")
                addItem(channel, readItem(*child, name.uri, scope), scope);
        }
        child.reset();
    }
    fillGaps(reading, channelFields);
}
