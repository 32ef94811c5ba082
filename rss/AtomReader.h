#pragma once
// An Atom 1.0 (or 0.3) feed into a Channel, mapped as the common readers map it.
#include <string_view>

#include "rss/Channel.h"
#include "rss/DocumentScope.h"
#include "xml/XmlNode.h"

// Whether a namespace is Atom's, 1.0 or 0.3.
bool atomNamespace(std::string_view uri);

// Reads the feed element `root`, which must be in scope; each of its children
// is released once read.
void readAtomFeed(XmlNode& root, DocumentScope& scope, Channel& channel);
