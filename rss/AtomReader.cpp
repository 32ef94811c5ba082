#include "rss/AtomReader.h"

#include <cstdint>
#include <string>

#include "rss/ChannelItems.h"
#include "rss/FeedDate.h"
#include "rss/FeedNamespaces.h"
#include "rss/FieldText.h"

namespace {

// The dates, summary and content an entry may carry; which of them it shows is
// decided once the whole entry is read.
struct EntryParts {
    int64_t published = 0;
    int64_t updated = 0;
    std::wstring summary;
    std::wstring content;
};

std::string_view linkRelation(const XmlNode& link)
{
    const auto found = link.attributes.find("rel");
    return found == link.attributes.end() ? std::string_view() : std::string_view(found->second);
}

// Sets `target` from the link's href when the relation is the one wanted and
// no earlier link gave it; "alternate" is also a link without a relation.
void takeLink(std::wstring& target, const XmlNode& link, std::string_view wanted, const DocumentScope& scope)
{
    std::string_view relation = linkRelation(link);
    if (relation.empty())
        relation = "alternate";
    if (target.empty() && relation == wanted)
        target = linkAttribute(link, "href", scope);
}

// A child element of `element` in Atom's namespace, or nullptr.
const XmlNode* atomChild(const XmlNode& element, std::string_view local, DocumentScope& scope)
{
    for (const auto& child : element.children) {
        const auto guard = scope.enter(*child);
        const ExpandedName name = scope.name(*child);
        if (name.local == local && atomNamespace(name.uri))
            return child.get();
    }
    return nullptr;
}

// A person construct as RSS writes an author: "email (name)", or whichever is given.
std::wstring person(const XmlNode& element, DocumentScope& scope)
{
    const XmlNode* nameElement = atomChild(element, "name", scope);
    const XmlNode* emailElement = atomChild(element, "email", scope);
    const std::wstring name = nameElement ? wholeFieldText(*nameElement, scope) : std::wstring();
    const std::wstring email = emailElement ? wholeFieldText(*emailElement, scope) : std::wstring();
    if (email.empty() || name.empty())
        return email.empty() ? name : email;
    return email + L" (" + name + L")";
}

void readEntryChild(Item& item, EntryParts& parts, const XmlNode& child, std::string_view local, DocumentScope& scope)
{
    if (local == "title")
        item.title = wholeFieldText(child, scope);
    else if (local == "link") {
        takeLink(item.link, child, "alternate", scope);
        takeLink(item.enclosure, child, "enclosure", scope);
    } else if (local == "summary")
        parts.summary = wholeFieldText(child, scope);
    else if (local == "content")
        parts.content = wholeFieldText(child, scope);
    else if (local == "id")
        item.guid = wholeFieldText(child, scope);
    else if (local == "published" || local == "issued")
        parts.published = parseFeedDate(child.text);
    else if (local == "updated" || local == "modified")
        parts.updated = parseFeedDate(child.text);
    else if (local == "author")
        item.author = person(child, scope);
    else if (local == "category")
        item.category = attributeText(child, "term", scope);
    else if (local == "source") {
        const XmlNode* title = atomChild(child, "title", scope);
        item.source = title ? wholeFieldText(*title, scope) : std::wstring();
    }
}

Item readEntry(const XmlNode& entry, DocumentScope& scope)
{
    Item item;
    EntryParts parts;
    for (const auto& child : entry.children) {
        const auto guard = scope.enter(*child);
        const ExpandedName name = scope.name(*child);
        if (atomNamespace(name.uri))
            readEntryChild(item, parts, *child, name.local, scope);
    }
    item.description = parts.summary.empty() ? std::move(parts.content) : std::move(parts.summary);
    item.pubDate = parts.published != 0 ? parts.published : parts.updated;
    return item;
}

void readFeedChild(Channel& channel, const XmlNode& child, std::string_view local, DocumentScope& scope)
{
    if (local == "entry")
        addItem(channel, readEntry(child, scope), scope);
    else if (local == "title")
        channel.title = wholeFieldText(child, scope);
    else if (local == "subtitle" || local == "tagline")
        channel.description = wholeFieldText(child, scope);
    else if (local == "link")
        takeLink(channel.link, child, "alternate", scope);
    else if (local == "rights" || local == "copyright")
        channel.copyright = wholeFieldText(child, scope);
    else if (local == "generator")
        channel.generator = wholeFieldText(child, scope);
    else if (local == "updated" || local == "modified")
        channel.lastBuildDate = parseFeedDate(child.text);
    else if (local == "logo" || (local == "icon" && channel.image.empty()))
        channel.image = linkFieldText(child, scope);
    else if (local == "category")
        channel.category = attributeText(child, "term", scope);
    else if (local == "author") {
        const XmlNode* name = atomChild(child, "name", scope);
        channel.managingEditor = name ? wholeFieldText(*name, scope) : std::wstring();
    }
}

} // namespace

bool atomNamespace(std::string_view uri)
{
    return uri == FeedNamespaces::kAtom10 || uri == FeedNamespaces::kAtom03;
}

void readAtomFeed(XmlNode& root, DocumentScope& scope, Channel& channel)
{
    for (auto& child : root.children) {
        {
            const auto guard = scope.enter(*child);
            const ExpandedName name = scope.name(*child);
            if (atomNamespace(name.uri))
                readFeedChild(channel, *child, name.local, scope);
        }
        child.reset(); // the tree shrinks while the channel grows
    }
}
