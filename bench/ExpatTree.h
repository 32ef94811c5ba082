#pragma once
// A tree like ours built from expat's callbacks, so that expat's row measures
// parsing plus building and freeing a comparable tree: name, text (the
// character data straight after the start tag), attributes and children.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct ExpatNode {
    std::string name;
    std::string text;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<ExpatNode>> children;
};

// Parses the whole buffer into `document`'s children; false on a parse error.
bool parseWithExpat(const char* data, size_t size, ExpatNode& document);
