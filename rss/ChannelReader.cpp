#include "rss/ChannelReader.h"

#include "rss/AtomReader.h"
#include "rss/DocumentEncoding.h"
#include "rss/DocumentScope.h"
#include "rss/FeedNamespaces.h"
#include "rss/RssChannelReader.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

Channel readChannel(std::string body, const std::wstring& address)
{
    XmlNode document;
    XmlParser parser(body, &document);
    DocumentScope scope(address, documentEncoding(body, parser.encoding));
    std::string().swap(body); // the tree holds what is needed from here on
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
