#pragma once
// The namespace names of the feed formats and of the extensions read in them.
namespace FeedNamespaces {

constexpr const char* kXml = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
constexpr const char* kRss10 = "http://purl.org/rss/1.0/";
constexpr const char* kRss090 = "http://my.netscape.com/rdf/simple/0.9/";
constexpr const char* kAtom10 = "http://www.w3.org/2005/Atom";
constexpr const char* kAtom03 = "http://purl.org/atom/ns#";
constexpr const char* kDublinCore = "http://purl.org/dc/elements/1.1/";
constexpr const char* kContent = "http://purl.org/rss/1.0/modules/content/";
constexpr const char* kSyndication = "http://purl.org/rss/1.0/modules/syndication/";

} // namespace FeedNamespaces
