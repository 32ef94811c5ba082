#pragma once
// Field-by-field comparison of feed records, naming each field that differs,
// and builders of the expected records.
#include <string>
#include <vector>

#include "rss/Channel.h"

std::vector<std::string> differences(const Item& expected, const Item& found);
std::vector<std::string> differences(const Channel& expected, const Channel& found);

Item titled(const std::wstring& title);
Channel channelWith(const std::wstring& title, std::vector<Item> items = {});
