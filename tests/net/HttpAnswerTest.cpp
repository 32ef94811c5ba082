// Reading the header lines a conditional request depends on, and what the
// status of its answer means; the whole exchange is tested through the DLL.
#include <gtest/gtest.h>

#include "base/RSSException.h"
#include "net/HttpAnswer.h"

namespace {

TEST(HttpAnswer, HeaderValuesAreFoundByNameInTheHeaderOnly)
{
    struct Case {
        const char* name;
        std::string response;
        std::string found;
    };
    const Case cases[] = {
        {"any case, blanks trimmed", "HTTP/1.1 200 OK\r\neTaG: \t\"x\" \r\n\r\n", "\"x\""},
        {"the first of two", "HTTP/1.1 200 OK\r\nETag: a\r\nETag: b\r\n\r\n", "a"},
        {"a longer name is another", "HTTP/1.1 200 OK\r\nETags: a\r\n\r\n", ""},
        {"empty value", "HTTP/1.1 200 OK\r\nETag:\r\n\r\n", ""},
        {"in the body only", "HTTP/1.1 200 OK\r\nX: y\r\n\r\nETag: a\r\n", ""},
        {"no end of header", "HTTP/1.1 200 OK\r\nETag: a\r\n", ""},
        {"not on the status line", "ETag: a\r\n\r\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HttpMessage::headerValue(c.response, "etag"), c.found) << c.name;
}

TEST(HttpAnswer, StatusDecidesBetweenBodyNotModifiedAndRetryLater)
{
    const std::string header = "ETag: \"e\"\r\nLast-Modified: Mon, 04 May 2026 11:00:00 GMT\r\n";
    const HttpAnswer read = HttpMessage::answer({"HTTP/1.1 200 OK\r\n" + header + "\r\n", "<rss/>"}, true);
    EXPECT_FALSE(read.notModified);
    EXPECT_EQ(read.body, "<rss/>");
    EXPECT_EQ(read.validators.etag, "\"e\"");
    EXPECT_EQ(read.validators.lastModified, "Mon, 04 May 2026 11:00:00 GMT");

    EXPECT_TRUE(HttpMessage::answer({"HTTP/1.1 304 Not Modified\r\n\r\n", ""}, true).notModified);
    EXPECT_THROW(HttpMessage::answer({"HTTP/1.1 304 Not Modified\r\n\r\n", ""}, false), RSS::RSSException);
    for (const char* status : {"429 Too Many Requests", "503 Service Unavailable"}) {
        try {
            HttpMessage::answer({std::string("HTTP/1.1 ") + status + "\r\nRetry-After: 120\r\n\r\n", ""}, false);
            ADD_FAILURE() << status << " was read as an answer";
        } catch (const RSS::RetryLaterException& busy) {
            EXPECT_EQ(busy.retryAfter, "120") << status;
            EXPECT_EQ(busy.message, L"HTTP response code diffrent than 200 received") << status;
        }
    }
}

TEST(HttpAnswer, ConditionalLinesGoBeforeTheEmptyLine)
{
    const std::string plain = "GET / HTTP/1.0\r\nHost: h\r\n\r\n";
    EXPECT_EQ(HttpMessage::conditional(plain, {}), plain);
    EXPECT_EQ(HttpMessage::conditional(plain, {"\"e\"", "d", L""}),
              "GET / HTTP/1.0\r\nHost: h\r\nIf-None-Match: \"e\"\r\nIf-Modified-Since: d\r\n\r\n");
    // Kept from an answer only when they are safe to send back.
    const std::string longValue(2000, 'a');
    const HttpAnswer odd =
        HttpMessage::answer({"HTTP/1.1 200 OK\r\nETag: " + longValue + "\r\nLast-Modified: a\x01z\r\n\r\n", ""}, false);
    EXPECT_TRUE(odd.validators.empty());
}

} // namespace
