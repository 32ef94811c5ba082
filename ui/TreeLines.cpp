#include "ui/TreeLines.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr Line kChannelOrder[] = {Line::Description, Line::Link, Line::Category, Line::Copyright, Line::Language};
constexpr Line kItemOrder[] = {Line::Link,     Line::Description, Line::Author,  Line::Date,
                               Line::Category, Line::Source,      Line::Comments};

// Last second the C library's 64-bit time functions cover: 3000-12-31 23:59:59 UTC.
constexpr int64_t kLastConvertibleTime = 32535215999LL;

// The C library's wide ctime text without its line feed, which the tree would
// draw as a box; empty when it has none.
// The range is checked here too, since not every C runtime refuses values past it.
std::wstring dateText(int64_t pubDate)
{
    if (pubDate == 0 || pubDate < 0 || pubDate > kLastConvertibleTime)
        return std::wstring();
    __time64_t value = pubDate;
    const wchar_t* text = _wctime64(&value);
    std::wstring line = text != nullptr ? std::wstring(text) : std::wstring();
    if (!line.empty() && line.back() == L'\n')
        line.pop_back();
    return line;
}

const wchar_t* prefixOf(Line line)
{
    switch (line) {
    case Line::Category:
        return L"Kategoria: ";
    case Line::Copyright:
        return L"Prawa autorskie: ";
    case Line::Language:
        return L"Język: ";
    case Line::Author:
        return L"Autor: ";
    case Line::Date:
        return L"Data: ";
    case Line::Source:
        return L"Źródło: ";
    case Line::Comments:
        return L"Komentarz: ";
    default:
        return L"";
    }
}

const std::wstring* channelField(const Channel& channel, Line line)
{
    switch (line) {
    case Line::Title:
        return &channel.title;
    case Line::Description:
        return &channel.description;
    case Line::Link:
        return &channel.link;
    case Line::Category:
        return &channel.category;
    case Line::Copyright:
        return &channel.copyright;
    case Line::Language:
        return &channel.language;
    default:
        return nullptr;
    }
}

// Null for the date, which is not held as text.
const std::wstring* itemField(const Item& item, Line line)
{
    switch (line) {
    case Line::Title:
        return &item.title;
    case Line::Description:
        return &item.description;
    case Line::Link:
        return &item.link;
    case Line::Author:
        return &item.author;
    case Line::Category:
        return &item.category;
    case Line::Source:
        return &item.source;
    case Line::Comments:
        return &item.comments;
    default:
        return nullptr;
    }
}

std::wstring_view withPrefix(Line line, const std::wstring& field, std::wstring& scratch)
{
    const wchar_t* prefix = prefixOf(line);
    if (*prefix == L'\0')
        return field;
    scratch.assign(prefix);
    scratch += field;
    return scratch;
}

} // namespace

std::vector<Line> channelLines(const Channel& channel)
{
    std::vector<Line> lines;
    for (Line line : kChannelOrder)
        if (!channelField(channel, line)->empty())
            lines.push_back(line);
    return lines;
}

std::vector<Line> itemLines(const Item& item)
{
    std::vector<Line> lines;
    for (Line line : kItemOrder) {
        const std::wstring* field = itemField(item, line);
        if (field != nullptr ? !field->empty() : !dateText(item.pubDate).empty())
            lines.push_back(line);
    }
    return lines;
}

std::wstring_view channelLineText(const Channel& channel, Line line, std::wstring& scratch)
{
    const std::wstring* field = channelField(channel, line);
    return field != nullptr ? withPrefix(line, *field, scratch) : std::wstring_view(L"");
}

std::wstring_view itemLineText(const Item& item, Line line, std::wstring& scratch)
{
    if (line == Line::Date) {
        scratch = prefixOf(line) + dateText(item.pubDate);
        return scratch;
    }
    const std::wstring* field = itemField(item, line);
    return field != nullptr ? withPrefix(line, *field, scratch) : std::wstring_view(L"");
}

bool hasChildren(const Channel& channel)
{
    return !channel.items.empty() || !channelLines(channel).empty();
}

int lineImage(bool ofItem, Line line)
{
    if (line == Line::Title)
        return ofItem ? kItemImage : kChannelImage;
    return line == Line::Link ? kLinkImage : kNoImage;
}

LPARAM lineData(Line line)
{
    return line == Line::Link ? kLinkData : 0;
}

bool sameLines(const Channel& a, const Channel& b)
{
    for (Line line : {Line::Title, Line::Description, Line::Link, Line::Category, Line::Copyright, Line::Language})
        if (*channelField(a, line) != *channelField(b, line))
            return false;
    return std::equal(a.items.begin(), a.items.end(), b.items.begin(), b.items.end(),
                      [](const Item& x, const Item& y) { return sameLines(x, y); });
}

bool sameLines(const Item& a, const Item& b)
{
    return a.title == b.title && a.link == b.link && a.description == b.description && a.author == b.author &&
           a.pubDate == b.pubDate && a.category == b.category && a.source == b.source && a.comments == b.comments;
}

std::wstring_view itemKey(const Item& item)
{
    for (const std::wstring* field : {&item.guid, &item.link, &item.title})
        if (!field->empty())
            return *field;
    return item.description;
}
