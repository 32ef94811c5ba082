#pragma once
// Reads the channel of an RSS document from the bytes of its body.
#include <string>

#include "rss/Channel.h"

// Parses the body (released once parsed) and fills a Channel from the first
// element under the top-level one; a document of another shape gives an empty
// Channel. Throws RSS::XMLException when the body is not accepted.
Channel readChannel(std::string body);
