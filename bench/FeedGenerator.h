#pragma once
// Realistic RSS 2.0 documents of a chosen size for the parser benchmark:
// declaration, channel fields, items with entities, attributes, long
// multi-line descriptions with UTF-8 text, LF and TAB indentation. The same
// size always gives the same bytes.
#include <cstddef>
#include <string>

std::string makeRssDocument(size_t approximateBytes);
