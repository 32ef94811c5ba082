#pragma once
// Bodies as servers compress them, for tests of the decoding client.
#include <string>

enum class Wrapping { Gzip, Zlib, Raw };

// `text` deflated at the default level, in the given wrapping.
std::string compressed(const std::string& text, Wrapping wrapping);
