#pragma once
// RSS 0.9x/2.0 (a channel element under the top-level one) and RSS 1.0/0.90
// (rdf:RDF, the items beside the channel) into a Channel.
#include "rss/Channel.h"
#include "rss/DocumentScope.h"
#include "xml/XmlNode.h"

// Reads the first element under `root` as the channel; the root's namespace
// is RSS's own. Each child of `root` is released once read.
void readRssChannel(XmlNode& root, DocumentScope& scope, Channel& channel);

// Reads the channel element and every item element under an rdf:RDF root.
void readRdfChannel(XmlNode& root, DocumentScope& scope, Channel& channel);
