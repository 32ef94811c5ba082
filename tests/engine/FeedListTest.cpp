// Cutting the stored feed list into addresses.
#include <gtest/gtest.h>

#include "host/HostProtocol.h"

namespace {

using Lines = std::vector<std::wstring>;

struct ListCase {
    const char* name;
    std::wstring list;
    Lines expected;
};

TEST(FeedList, CutAtEveryCrLfOnly)
{
    const std::vector<ListCase> cases = {
        {"two lines", L"A\r\nB", {L"A", L"B"}},
        {"trailing separator gives an empty last line", L"A\r\nB\r\n", {L"A", L"B", L""}},
        {"empty line in between", L"A\r\n\r\nB", {L"A", L"", L"B"}},
        {"empty value is one empty line", L"", {L""}},
        {"separator alone", L"\r\n", {L"", L""}},
        {"LF alone is part of the line", L"A\nB", {L"A\nB"}},
        {"CR alone is part of the line", L"A\rB", {L"A\rB"}},
        {"LF CR is no separator", L"A\n\rB", {L"A\n\rB"}},
        {"CR CR LF leaves the first CR", L"A\r\r\nB", {L"A\r", L"B"}},
        {"blanks are kept", L" A \r\n\tB", {L" A ", L"\tB"}},
        {"three separators", L"\r\n\r\n\r\n", {L"", L"", L"", L""}},
    };
    for (const ListCase& c : cases)
        EXPECT_EQ(splitFeedList(c.list), c.expected) << c.name;
}

TEST(FeedList, LongListKeepsOrder)
{
    std::wstring list;
    Lines expected;
    for (int i = 0; i < 500; ++i) {
        expected.push_back(L"http://host/feed" + std::to_wstring(i));
        list += (i ? L"\r\n" : L"") + expected.back();
    }
    EXPECT_EQ(splitFeedList(list), expected);
}

} // namespace
