#pragma once
// Reads the channel of a feed document from the bytes of its body.
#include <string>

#include "rss/Channel.h"

// Parses the body (released once parsed) and fills a Channel by the top-level
// element: Atom's feed, RSS 1.0's rdf:RDF, or RSS 0.9x/2.0, where the first
// element under the top-level one is read as the channel (so it is for a
// top-level element of any other name). A document of another shape gives
// an empty Channel. Relative links are resolved against xml:base and
// `address`, the feed's own address (none: left as written). Throws
// RSS::XMLException when the body is not accepted, among others when it is
// past a limit of xml/XmlLimits.h, has more than kMaxItems items
// (rss/ChannelItems.h) or a field whose whole text is longer than
// Xml::kMaxTextBytes; no part of such a channel is returned.
Channel readChannel(std::string body, const std::wstring& address = std::wstring());
