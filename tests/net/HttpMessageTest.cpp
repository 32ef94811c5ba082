#include <gtest/gtest.h>

#include <optional>

#include "base/RSSException.h"
#include "net/HttpMessage.h"
#include "net/UrlReference.h"

namespace {

std::wstring rssFailure(const std::string& response)
{
    try {
        HttpMessage::checkHead(response);
    } catch (const RSS::RSSException& e) {
        return e.message;
    }
    return L"(no failure)";
}

TEST(HttpMessage, WireTextKeepsCharactersUpTo255AsBytes)
{
    std::wstring all;
    std::string expected;
    for (wchar_t c = 1; c <= 255; ++c) {
        all.push_back(c);
        expected.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(HttpMessage::wireText(all), expected);
    EXPECT_EQ(HttpMessage::wireText(L""), "");
}

TEST(HttpMessage, WireTextEndsAtTheFirstNul)
{
    EXPECT_EQ(HttpMessage::wireText(std::wstring(L"ab\0cd", 5)), "ab");
}

TEST(HttpMessage, WireTextRefusesCharactersAbove255)
{
    const wchar_t* const texts[] = {L"/\u0100", L"h\u0105st", L"/feed\u20ac", L"\xFFFF"};
    for (const wchar_t* text : texts) {
        try {
            HttpMessage::wireText(text);
            ADD_FAILURE() << "no failure for " << testing::PrintToString(std::wstring(text));
        } catch (const RSS::RSSException& e) {
            EXPECT_EQ(e.message, L"Address has characters that cannot be sent");
        }
    }
}

TEST(HttpMessage, RequestIsAnHttp11GetThatNamesThePlugIn)
{
    EXPECT_EQ(HttpMessage::request("example.org", "/a?b=1"),
              "GET /a?b=1 HTTP/1.1\r\n"
              "Host: example.org\r\n"
              "Connection: close\r\n"
              "Accept: application/rss+xml, application/atom+xml, application/rdf+xml, application/xml;q=0.9, "
              "text/xml;q=0.9, */*;q=0.8\r\n"
              "Accept-Encoding: gzip, deflate\r\n"
              "User-Agent: Mozilla/5.0 (compatible; quillFeed/" QF_TEST_VERSION "; news-feed plug-in for WTW)\r\n"
              "\r\n");
}

TEST(HttpMessage, BasicCredentialsArePercentDecodedUtf8)
{
    EXPECT_EQ(HttpMessage::basicCredentials(L"Aladdin:open%20sesame"), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(HttpMessage::basicCredentials(L"a%40b:p:w%"), "Basic YUBiOnA6dyU=") << "the first colon splits";
    EXPECT_EQ(HttpMessage::basicCredentials(L"\u017c"), "Basic xbw6") << "a user without a password";
}

TEST(HttpMessage, RequestTargetCannotEndItsLine)
{
    struct Case {
        std::wstring path;
        std::string target;
    };
    const Case cases[] = {
        {L"/a?b=1&c=%20", "/a?b=1&c=%20"},
        {L"/feed#part", "/feed"},
        {L"/#", "/"},
        {L"/a b\tc", "/a%20b%09c"},
        {L"/x\r\nX-Injected: yes", "/x%0D%0AX-Injected:%20yes"},
        {L"/\x7f\x01", "/%7F%01"},
        {L"/caf\u00e9", "/caf%C3%A9"},
        {L"/\u20ac", "/%E2%82%AC"},
        {L"/\U0001F600", "/%F0%9F%98%80"},
        {std::wstring(L"/") + wchar_t(0xd800), "/%EF%BF%BD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HttpMessage::requestTarget(c.path), c.target) << testing::PrintToString(c.path);
}

TEST(HttpMessage, LocationWithAControlByteIsNoAddress)
{
    const std::string longest = "/" + std::string(kMaxLinkLength - 1, 'a');
    const std::string refused[] = {"http://127.0.0.5/x\nX-Injected: yes", "/a\rb", "/a\tb", "/a\x7f",
                                   std::string("/a\0b", 4), longest + "a"};
    for (const std::string& value : refused) {
        try {
            HttpMessage::locationAddress(value);
            ADD_FAILURE() << "no failure for " << testing::PrintToString(value);
        } catch (const RSS::RSSException& e) {
            EXPECT_EQ(e.message, L"Redirect to an invalid address");
        }
    }
    EXPECT_EQ(HttpMessage::locationAddress(longest).size(), kMaxLinkLength);
    EXPECT_EQ(HttpMessage::locationAddress("/a b"), L"/a b");
    EXPECT_EQ(HttpMessage::locationAddress("/caf\xc3\xa9"), L"/caf\u00e9"); // UTF-8
    EXPECT_EQ(HttpMessage::locationAddress("/caf\xe9"), L"/caf\u00e9");     // not UTF-8: byte for byte
}

TEST(HttpMessage, StatusOtherThan200OrMissingHeaderEndFails)
{
    struct Case {
        const char* name;
        std::string response;
        const wchar_t* message;
    };
    const wchar_t* const badStatus = L"HTTP response code diffrent than 200 received";
    const Case cases[] = {
        {"301", "HTTP/1.1 301 Moved\r\nLocation: /x\r\n\r\n", badStatus},
        {"404", "HTTP/1.0 404 Not Found\r\n\r\nnope", badStatus},
        {"nine bytes", "HTTP/1.0 ", badStatus},
        {"eleven bytes", "HTTP/1.0 20", badStatus},
        {"no header end", "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n", L"No HTTP data found"},
        {"bare LF lines", "HTTP/1.0 200 OK\n\nbody", L"No HTTP data found"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rssFailure(c.response), c.message) << c.name;
}

TEST(HttpMessage, ResponseShorterThanNineBytesHasNoHttpData)
{
    for (const char* response : {"", "HTTP/1.0", "x"})
        EXPECT_EQ(rssFailure(response), L"No HTTP data found") << response;
}

TEST(HttpMessage, RedirectsAndTheirLocationAreRead)
{
    struct Case {
        const char* name;
        std::string response;
        bool redirect;
        std::optional<std::string> location;
    };
    const Case cases[] = {
        {"301 absolute", "HTTP/1.1 301 Moved\r\nLocation: https://h/x\r\n\r\n", true, "https://h/x"},
        {"302 relative, any case", "HTTP/1.0 302 Found\r\nA: b\r\nlOcAtIoN:\tfeed.xml \r\n\r\nbody", true, "feed.xml"},
        {"303", "HTTP/1.1 303 See Other\r\nLocation: /a\r\n\r\n", true, "/a"},
        {"307 first of two", "HTTP/1.1 307 T\r\nLocation: /a\r\nLocation: /b\r\n\r\n", true, "/a"},
        {"308 empty location", "HTTP/1.1 308 P\r\nLocation:  \r\n\r\n", true, std::nullopt},
        {"302 without location", "HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n", true, std::nullopt},
        {"302 header without end", "HTTP/1.1 302 Found\r\nLocation: /a\r\n", true, std::nullopt},
        {"location in the body only", "HTTP/1.1 301 M\r\n\r\nx\r\nLocation: /a\r\n\r\n", true, std::nullopt},
        {"300 is not followed", "HTTP/1.1 300 Multiple\r\nLocation: /a\r\n\r\n", false, "/a"},
        {"304 is not followed", "HTTP/1.1 304 Not Modified\r\n\r\n", false, std::nullopt},
        {"200", "HTTP/1.0 200 OK\r\n\r\n", false, std::nullopt},
        {"too short for a status", "HTTP/1.0", false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HttpMessage::isRedirect(HttpMessage::statusCode(c.response)), c.redirect) << c.name;
        EXPECT_EQ(HttpMessage::location(c.response), c.location) << c.name;
    }
}

} // namespace
