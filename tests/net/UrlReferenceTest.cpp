#include <gtest/gtest.h>

#include <string>

#include "net/UrlReference.h"

namespace {

struct ResolveCase {
    const wchar_t* reference;
    const wchar_t* expected;
};

void expectResolved(const wchar_t* base, const ResolveCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(resolveReference(base, cases[i].reference), cases[i].expected)
            << "base " << testing::PrintToString(std::wstring(base)) << ", reference "
            << testing::PrintToString(std::wstring(cases[i].reference));
}

// RFC 3986 section 5.4: the normal and abnormal examples.
TEST(UrlReference, ResolvesTheStandardsExamples)
{
    const ResolveCase cases[] = {
        {L"g:h", L"g:h"},
        {L"g", L"http://a/b/c/g"},
        {L"./g", L"http://a/b/c/g"},
        {L"g/", L"http://a/b/c/g/"},
        {L"/g", L"http://a/g"},
        {L"//g", L"http://g"},
        {L"?y", L"http://a/b/c/d;p?y"},
        {L"g?y", L"http://a/b/c/g?y"},
        {L"#s", L"http://a/b/c/d;p?q#s"},
        {L"g#s", L"http://a/b/c/g#s"},
        {L"g?y#s", L"http://a/b/c/g?y#s"},
        {L";x", L"http://a/b/c/;x"},
        {L"g;x?y#s", L"http://a/b/c/g;x?y#s"},
        {L"", L"http://a/b/c/d;p?q"},
        {L".", L"http://a/b/c/"},
        {L"./", L"http://a/b/c/"},
        {L"..", L"http://a/b/"},
        {L"../", L"http://a/b/"},
        {L"../g", L"http://a/b/g"},
        {L"../..", L"http://a/"},
        {L"../../g", L"http://a/g"},
        {L"../../../g", L"http://a/g"},
        {L"../../../../g", L"http://a/g"},
        {L"/./g", L"http://a/g"},
        {L"/../g", L"http://a/g"},
        {L"g.", L"http://a/b/c/g."},
        {L".g", L"http://a/b/c/.g"},
        {L"g..", L"http://a/b/c/g.."},
        {L"..g", L"http://a/b/c/..g"},
        {L"./../g", L"http://a/b/g"},
        {L"./g/.", L"http://a/b/c/g/"},
        {L"g/./h", L"http://a/b/c/g/h"},
        {L"g/../h", L"http://a/b/c/h"},
        {L"g;x=1/./y", L"http://a/b/c/g;x=1/y"},
        {L"g;x=1/../y", L"http://a/b/c/y"},
        {L"g?y/./x", L"http://a/b/c/g?y/./x"},
        {L"g#s/../x", L"http://a/b/c/g#s/../x"},
        {L"http:g", L"http:g"},
    };
    expectResolved(L"http://a/b/c/d;p?q", cases, sizeof cases / sizeof cases[0]);
}

// What feeds and redirects actually carry.
TEST(UrlReference, ResolvesFeedLinksAndLocations)
{
    const ResolveCase cases[] = {
        {L"/2018/03/post", L"https://blog.example:8443/2018/03/post"},
        {L"post.html", L"https://blog.example:8443/feeds/post.html"},
        {L"HTTPS://Other.example/x", L"https://Other.example/x"},
        {L"//cdn.example/a.mp3", L"https://cdn.example/a.mp3"},
        {L"?page=2", L"https://blog.example:8443/feeds/atom.xml?page=2"},
        {L"../img/logo.png", L"https://blog.example:8443/img/logo.png"},
        {L"http://plain.example/\u017c\u00f3\u0142w", L"http://plain.example/\u017c\u00f3\u0142w"},
    };
    expectResolved(L"https://blog.example:8443/feeds/atom.xml#top", cases, sizeof cases / sizeof cases[0]);

    const ResolveCase noPath[] = {{L"feed", L"http://host/feed"}, {L"", L"http://host"}};
    expectResolved(L"http://host", noPath, sizeof noPath / sizeof noPath[0]);
}

TEST(UrlReference, BaseWithoutSchemeLeavesRelativeReferencesAlone)
{
    const ResolveCase cases[] = {{L"/x", L"/x"}, {L"x/../y", L"x/../y"}, {L"http://h/a/../b", L"http://h/b"}};
    expectResolved(L"host/feed", cases, sizeof cases / sizeof cases[0]);
}

} // namespace
