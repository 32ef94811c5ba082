// The system's proxy and bypass lists, in the forms Windows writes them.
#include <gtest/gtest.h>

#include "net/ProxyList.h"

namespace {

TEST(ProxyList, TheFirstEntryForTheSchemeIsTheProxy)
{
    const struct {
        const wchar_t* list;
        bool https;
        const wchar_t* proxy; // empty: none applies
    } cases[] = {
        {L"127.0.0.1:3128", false, L"127.0.0.1:3128"},
        {L"proxy", true, L"proxy:80"},
        {L"http=a:1;https=b:2", true, L"b:2"},
        {L"HTTP=a:1;https=b:2", false, L"a:1"},
        {L"http=a:1", true, L""},
        {L"  socks=s:1  c:3 ", false, L"c:3"},
        {L"http://p:8080/", false, L"p:8080"},
        {L"[::1]:3128", true, L"[::1]:3128"},
        {L"a:99999", false, L""},
        {L"user:pw@p:8080", false, L"p:8080"},
        {L"", false, L""},
    };
    for (const auto& c : cases) {
        const auto proxy = proxyFromList(c.list, c.https);
        EXPECT_EQ(proxy ? proxy->name() : L"", c.proxy) << testing::PrintToString(std::wstring(c.list)) << c.https;
    }
}

TEST(ProxyList, BypassEntriesMatchHostsWithStars)
{
    const struct {
        const wchar_t* list;
        const wchar_t* host;
        bool bypassed;
    } cases[] = {
        {L"<local>", L"intranet", true},        {L"<local>", L"a.example", false},
        {L"*.example.org", L"feeds.example.org", true}, {L"*.example.org", L"example.org", false},
        {L"10.*;127.0.7.81", L"127.0.7.81", true}, {L"10.*, 127.0.7.81", L"127.0.7.8", false},
        {L"A.Example.ORG", L"a.example.org", true}, {L"*a*b*", L"xaxxb", true},
        {L"http://h", L"h", true},               {L"", L"h", false},
        {L"[::1]; *.x.org:8080", L"::1", true},  {L"*.x.org:8080", L"a.x.org", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(bypassesProxy(c.list, c.host), c.bypassed)
            << testing::PrintToString(std::wstring(c.list)) << " " << testing::PrintToString(std::wstring(c.host));
}

} // namespace
