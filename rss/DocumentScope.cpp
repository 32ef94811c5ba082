#include "rss/DocumentScope.h"

#include <utility>

#include "net/UrlReference.h"
#include "rss/FeedNamespaces.h"
#include "rss/FieldText.h"

namespace {

const std::string_view kXmlns = "xmlns";

} // namespace

DocumentScope::DocumentScope(std::wstring address, std::string encoding, size_t size)
    : encoding_(std::move(encoding)), size_(size)
{
    bind("xml", FeedNamespaces::kXml);
    bases_.push_back(std::move(address));
}

DocumentScope::Guard DocumentScope::enter(const XmlNode& element)
{
    const size_t bindings = bindings_.size();
    const size_t bases = bases_.size();
    for (const auto& [name, value] : element.attributes) {
        const std::string_view attribute = name;
        if (attribute.compare(0, kXmlns.size(), kXmlns) == 0) {
            if (attribute.size() == kXmlns.size())
                bind(std::string_view(), value);
            else if (attribute[kXmlns.size()] == ':')
                bind(attribute.substr(kXmlns.size() + 1), value);
        } else if (attribute == "xml:base") {
            // A blank or overlong xml:base leaves the outer base in force.
            std::wstring resolved = resolveLink(shownText(value, encoding_), base());
            bases_.push_back(resolved.empty() ? base() : std::move(resolved));
        }
    }
    return Guard(*this, bindings, bases);
}

ExpandedName DocumentScope::name(const XmlNode& element) const
{
    const std::string_view name = element.name;
    const size_t colon = name.find(':');
    const std::string_view prefix = colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
    ExpandedName expanded{std::string_view(), colon == std::string_view::npos ? name : name.substr(colon + 1)};
    const auto found = uris_.find(prefix);
    if (found != uris_.end())
        expanded.uri = found->second.back();
    else if (!prefix.empty())
        expanded.local = name; // an undeclared prefix matches nothing
    return expanded;
}

void DocumentScope::bind(std::string_view prefix, std::string_view uri)
{
    uris_[prefix].push_back(uri);
    bindings_.push_back(prefix);
}

void DocumentScope::leave(size_t bindings, size_t bases)
{
    while (bindings_.size() > bindings) {
        // An entry goes with its last URI: its key may point into the element leaving.
        const auto entry = uris_.find(bindings_.back());
        entry->second.pop_back();
        if (entry->second.empty())
            uris_.erase(entry);
        bindings_.pop_back();
    }
    bases_.resize(bases);
}
