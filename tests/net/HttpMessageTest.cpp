#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "base/RSSException.h"
#include "net/HttpMessage.h"

namespace {

std::wstring rssFailure(const std::string& response)
{
    try {
        HttpMessage::body(response);
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

TEST(HttpMessage, RequestIsTheFixedHttp10Get)
{
    EXPECT_EQ(HttpMessage::request("example.org", "/a?b=1"), "GET /a?b=1 HTTP/1.0\r\n"
                                                             "Host: example.org\r\n"
                                                             "Connection: close\r\n"
                                                             "Accept: text/xml\r\n"
                                                             "User-Agent: Mozilla/5.0\r\n"
                                                             "\r\n");
}

TEST(HttpMessage, BodyIsEverythingAfterTheFirstEmptyLine)
{
    struct Case {
        const char* name;
        std::string response;
        std::string body;
    };
    const Case cases[] = {
        {"HTTP/1.0", "HTTP/1.0 200 OK\r\n\r\n<rss/>", "<rss/>"},
        {"HTTP/1.1", "HTTP/1.1 200 OK\r\nA: b\r\n\r\nx", "x"},
        {"empty body", "HTTP/1.0 200 OK\r\n\r\n", ""},
        {"second empty line kept", "HTTP/1.0 200 OK\r\n\r\n\r\n\r\nz", "\r\n\r\nz"},
        {"only bytes 9-11 read", "XXXXXXXXX200\r\n\r\nb", "b"},
        {"binary body kept", std::string("HTTP/1.0 200\r\n\r\n\x01\xff", 18), std::string("\x01\xff", 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HttpMessage::body(c.response), c.body) << c.name;
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

TEST(HttpMessage, ContentLengthIsReadFromTheHeaderOnly)
{
    struct Case {
        const char* name;
        std::string response;
        std::optional<size_t> length;
    };
    const size_t saturated = std::numeric_limits<size_t>::max();
    const Case cases[] = {
        {"none", "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\nabc", std::nullopt},
        {"exact", "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabc", 3},
        {"any case, tab", "HTTP/1.0 200 OK\r\nA: b\r\ncONTENT-lENGTH:\t42\r\n\r\n", 42},
        {"no blank", "HTTP/1.0 200 OK\r\nContent-Length:7\r\n\r\n", 7},
        {"first of two", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 9\r\n\r\n", 5},
        {"not a number", "HTTP/1.0 200 OK\r\nContent-Length: lots\r\n\r\n", std::nullopt},
        {"negative", "HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n", std::nullopt},
        {"too large saturates", "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n", saturated},
        {"other name", "HTTP/1.0 200 OK\r\nX-Content-Length: 5\r\n\r\n", std::nullopt},
        {"in the body", "HTTP/1.0 200 OK\r\n\r\nx\r\nContent-Length: 5\r\n\r\n", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HttpMessage::contentLength(c.response, c.response.find("\r\n\r\n")), c.length) << c.name;
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
