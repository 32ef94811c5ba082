#pragma once
// What the tree shows of a channel and of an item: which lines, in what order,
// with what text, picture and item data.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rss/Channel.h"

// One line of the tree: a channel's or an item's own node (Title) or one of
// their detail lines.
enum class Line : uint8_t { Title, Description, Link, Category, Copyright, Language, Author, Date, Source, Comments };

constexpr int kChannelImage = 0;
constexpr int kItemImage = 1;
constexpr int kLinkImage = 2;
constexpr int kNoImage = I_IMAGECALLBACK;
// Item data of a link line; every other node carries 0.
constexpr LPARAM kLinkData = 1;

// The detail lines under a channel's node (before its items) and under an
// item's node, in the order shown; a line whose field is empty is left out.
std::vector<Line> channelLines(const Channel& channel);
std::vector<Line> itemLines(const Item& item);

// A line's text exactly as shown: the field itself where the line has no
// prefix, else built in `scratch`; either way followed by a NUL.
std::wstring_view channelLineText(const Channel& channel, Line line, std::wstring& scratch);
std::wstring_view itemLineText(const Item& item, Line line, std::wstring& scratch);

// Whether a channel's node has anything under it.
bool hasChildren(const Channel& channel);

int lineImage(bool ofItem, Line line);
LPARAM lineData(Line line);

// Whether two channels, or two items, show the same lines with the same texts.
bool sameLines(const Channel& a, const Channel& b);
bool sameLines(const Item& a, const Item& b);

// What tells an item from the others of its feed: its guid, else its link,
// else its title, else its description.
std::wstring_view itemKey(const Item& item);
