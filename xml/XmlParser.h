#pragma once
// One-shot parser: constructing it parses the whole input into the document
// node, or throws RSS::XMLException with a message and a byte position, also
// when the document passes a limit of xml/XmlLimits.h.
#include <cstdint>
#include <string>

#include "xml/XmlNode.h"

class XmlParser {
public:
    XmlParser(const std::string& input, XmlNode* document);

    std::string encoding; // from the XML declaration; empty when none
};
