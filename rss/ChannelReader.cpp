#include "rss/ChannelReader.h"

#include "base/RSSException.h"
#include "rss/AtomReader.h"
#include "rss/DocumentEncoding.h"
#include "rss/DocumentScope.h"
#include "rss/FeedNamespaces.h"
#include "rss/RssChannelReader.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

namespace {

// Parses the document into its tree, and gives the encoding it declares; a
// refusal's position is one in the body.
std::string parse(const ParsableDocument& parsable, XmlNode& document)
{
    try {
        return XmlParser(parsable.text(), &document).encoding;
    } catch (RSS::XMLException& refusal) {
        refusal.position = parsable.bodyPosition(refusal.position);
        throw;
    }
}

} // namespace

Channel readChannel(std::string body, const std::wstring& address)
{
    ParsableDocument parsable(std::move(body));
    XmlNode document;
    const std::string declared = parse(parsable, document);
    DocumentScope scope(address, documentEncoding(parsable.text(), declared), parsable.bodySize());
    parsable.release(); // the tree holds what is needed from here on
    Channel channel;
    if (document.children.size() != 1)
        return channel;
    XmlNode& root = *document.children.front();
    const auto guard = scope.enter(root);
    const ExpandedName name = scope.name(root);
    if (name.local == "feed" && atomNamespace(name.uri))
        readAtomFeed(root, scope, channel);
    else if (name.local == "RDF" && name.uri == FeedNamespaces::kRdf)
        readRdfChannel(root, scope, channel);
    else
        readRssChannel(root, scope, channel);
    return channel;
}
