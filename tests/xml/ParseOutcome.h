#pragma once
// Runs a parser on an input and records everything observable about the run.
#include <cstdint>
#include <string>

#include "TreeDump.h"
#include "base/RSSException.h"

struct ParseOutcome {
    std::string tree; // dumpDocument form, also after a failure
    std::string encoding;
    bool failed = false;
    std::wstring message;
    int32_t position = -1;
};

template <typename Parser>
ParseOutcome parseWith(const std::string& input)
{
    ParseOutcome outcome;
    XmlNode document;
    try {
        Parser parser(input, &document);
        outcome.encoding = parser.encoding;
    } catch (const RSS::XMLException& e) {
        outcome.failed = true;
        outcome.message = e.message;
        outcome.position = e.position;
    }
    outcome.tree = dumpNode(document);
    return outcome;
}
