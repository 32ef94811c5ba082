#include <gtest/gtest.h>

#include <stdexcept>

#include "net/Url.h"

namespace {

struct SplitCase {
    const wchar_t* address;
    const wchar_t* host;
    const wchar_t* path;
};

TEST(Url, SplitsAddressesIntoHostAndPath)
{
    const SplitCase cases[] = {
        {L"http://host/feed", L"host", L"/feed"},
        {L"http://host/", L"host", L"/"},
        {L"http://host/a/b?x=1#y", L"host", L"/a/b?x=1#y"},
        {L"host/feed", L"host", L"/feed"},
        {L"HTTP://host/feed", L"HTTP:", L"//host/feed"},
        {L"https://host/feed", L"https:", L"//host/feed"},
        {L"http://host:8080/feed", L"host:8080", L"/feed"},
        {L"feed:http://host/x", L"tp:", L"//host/x"},
        {L"/feed", L"", L"/feed"},
        {L"http:///feed", L"", L"/feed"},
        {L"http://h\u0105st/\u017c", L"h\u0105st", L"/\u017c"},
        {L"http://host/a http://other/b", L"host", L"/a http://other/b"},
    };
    for (const SplitCase& c : cases) {
        const Url url = Url::parse(c.address);
        EXPECT_EQ(url.host, c.host) << "address " << testing::PrintToString(std::wstring(c.address));
        EXPECT_EQ(url.path, c.path) << "address " << testing::PrintToString(std::wstring(c.address));
    }
}

TEST(Url, AddressWithoutSlashAfterHostIsOutOfRange)
{
    const wchar_t* const addresses[] = {L"http://host", L"", L"host", L"http://", L"http://host?q=1"};
    for (const wchar_t* address : addresses)
        EXPECT_THROW(Url::parse(address), std::out_of_range) << testing::PrintToString(std::wstring(address));
}

TEST(Url, NullAddressIsOutOfRangeLikeAnEmptyOne)
{
    EXPECT_THROW(Url::parse(nullptr), std::out_of_range);
}

TEST(Url, CopiesAreIndependent)
{
    Url original = Url::parse(L"http://host/feed");
    Url copy = original;
    original.host = L"changed";
    original.path.clear();
    EXPECT_EQ(copy.host, L"host");
    EXPECT_EQ(copy.path, L"/feed");
}

} // namespace
