// Telling a web page from a feed, and the feed link a page announces.
#include <gtest/gtest.h>

#include <string>

#include "rss/WebPage.h"

namespace {

TEST(WebPage, IsToldFromAFeedByItsTypeOrItsStart)
{
    const struct {
        const char* type;
        std::string body;
        bool page;
    } cases[] = {
        {"text/html", "<p>anything", true},
        {"application/xhtml+xml", "<?xml version='1.0'?><html xmlns='http://www.w3.org/1999/xhtml'>", true},
        {"text/html", "<?xml version='1.0'?>\n<rss version='2.0'><channel>", false}, // a feed sent as HTML
        {"text/html", "\xEF\xBB\xBF <!-- x --><feed xmlns='http://www.w3.org/2005/Atom'>", false},
        {"", "\xEF\xBB\xBF\n  <!DOCTYPE html><html>", true},
        {"text/plain", "<!-- generator --> <HTML lang=en>", true},
        {"application/octet-stream", "<!doctype HTML>", true},
        {"", "<?xml version='1.0'?><rss>", false},
        {"application/rss+xml", "<!DOCTYPE html><html>", false}, // typed as a feed: read as one
        {"", "<htm", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isWebPage(c.type, c.body), c.page) << c.type << " | " << c.body;
}

TEST(WebPage, FirstFeedLinkIsFoundAsBrowsersTokeniseIt)
{
    const std::wstring page = L"https://blog.example/2024/index.html";
    const struct {
        const char* name;
        std::string html;
        std::wstring feed;
    } cases[] = {
        {"plain", "<head><link rel=\"alternate\" type=\"application/rss+xml\" href=\"/feed.xml\">",
         L"https://blog.example/feed.xml"},
        {"any case, any order, several rel tokens",
         "<HEAD><LINK HREF='atom.xml' TYPE='Application/Atom+XML; charset=utf-8' REL='home ALTERNATE'>",
         L"https://blog.example/2024/atom.xml"},
        {"unquoted, references decoded", "<link rel=alternate type=application/rdf+xml href=/r?a=1&amp;b=2>",
         L"https://blog.example/r?a=1&b=2"},
        {"base href", "<base href='https://cdn.example/x/'><link rel=alternate type=text/xml href=f>",
         L"https://cdn.example/x/f"},
        {"no head: a link further on", "<body><p>hi</p><link rel=alternate type=application/xml href=/late>",
         L"https://blog.example/late"},
        {"stylesheet, JSON Feed and other types skipped",
         "<link rel='alternate stylesheet' type='text/xml' href=/a><link rel=alternate "
         "type=application/feed+json href=/b><link rel=alternate type=application/rss+xml href=/c>",
         L"https://blog.example/c"},
        {"first of several wins",
         "<link rel=alternate type=application/atom+xml href=/one><link rel=alternate type=application/rss+xml "
         "href=/two>",
         L"https://blog.example/one"},
        {"comment, script, style and template skipped",
         "<!-- <link rel=alternate type=text/xml href=/c> --><script>'<link rel=alternate type=text/xml href=/s>'"
         "</script><style>/*<link rel=alternate type=text/xml href=/y>*/</style><template><link rel=alternate "
         "type=text/xml href=/t></template><link rel=alternate type=text/xml href=/real>",
         L"https://blog.example/real"},
        {"nothing after the head", "<head></head><body><link rel=alternate type=text/xml href=/body>", L""},
        {"nothing at the body once a head was seen", "<head><title>x</title><body><link rel=alternate "
                                                    "type=text/xml href=/b>",
         L""},
        {"blank href", "<link rel=alternate type=text/xml href='  '>", L""},
        {"cut inside the tag", "<link rel=alternate type=text/xml href='/cut", L"https://blog.example/cut"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstFeedLink(c.html, page), c.feed) << c.name;
}

} // namespace
