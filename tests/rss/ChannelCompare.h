#pragma once
// Field-by-field comparison of feed records, naming each field that differs.
#include <string>
#include <vector>

#include "rss/Channel.h"

std::vector<std::string> differences(const Item& expected, const Item& found);
std::vector<std::string> differences(const Channel& expected, const Channel& found);
