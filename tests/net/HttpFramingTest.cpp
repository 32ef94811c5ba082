// How answers are framed, decoded and refused: chunked and Content-Length
// bodies, interim answers, gzip and deflate, truncation, strict front ends and
// Location values that could forge a request. Over plain http on loopback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Compressed.h"
#include "FetchOutcome.h"
#include "LoopbackServer.h"
#include "net/HttpClient.h"
#include "net/HttpMessage.h"

namespace {

const std::string kFeed = "<rss><channel><title>T</title></channel></rss>";
const wchar_t* const kBrokenOff = L"The server broke off its answer";

FetchOutcome body(const std::string& text)
{
    return {"body", L"", 0, text};
}

FetchOutcome failure(const std::wstring& message)
{
    return {"RSSException", message, 0, {}};
}

std::string head(const std::string& lines)
{
    return "HTTP/1.1 200 OK\r\n" + lines + "\r\n";
}

std::string chunked(const std::string& text, size_t size)
{
    std::string coded;
    for (size_t at = 0; at < text.size(); at += size) {
        const std::string part = text.substr(at, size);
        char line[32];
        snprintf(line, sizeof line, "%zx\r\n", part.size());
        coded += line + part + "\r\n";
    }
    return coded + "0\r\n\r\n";
}

struct Case {
    const char* name;
    std::vector<std::string> chunks; // sent one after another
    FetchOutcome expected;
};

void expectCases(const char* address, const std::vector<Case>& cases, size_t cap = 32u << 20)
{
    LoopbackServer server(address);
    FetchLimits limits;
    limits.maxResponseBytes = cap;
    FetchControl control(limits);
    int index = 0;
    for (const Case& c : cases) {
        const std::string path = "/" + std::to_string(++index);
        ScriptedResponse script = rawResponse(c.chunks);
        script.pauseBetweenChunksMs = 20; // pieces apart where they can be
        server.serve(path, script);
        EXPECT_EQ(fetchOutcome(server.url(path), control), c.expected) << c.name;
    }
}

TEST(HttpFraming, BodiesEndWhereTheirFramingSays)
{
    const std::string coded = chunked(kFeed, 7);
    std::vector<Case> cases = {
        {"chunked", {head("Transfer-Encoding: chunked\r\n") + coded}, body(kFeed)},
        {"chunked, extension, upper-case hex, trailer",
         {head("Transfer-Encoding: CHUNKED\r\n"), "A;name=value\r\n0123456789\r\n0\r\nExpires: never\r\n\r\n"},
         body("0123456789")},
        {"chunked without its zero chunk", {head("Transfer-Encoding: chunked\r\n") + "3\r\nabc\r\n"},
         failure(kBrokenOff)},
        {"chunk size not hex", {head("Transfer-Encoding: chunked\r\n") + "zz\r\nabc\r\n0\r\n\r\n"},
         failure(L"Chunked answer cannot be read")},
        {"chunk size overflowing", {head("Transfer-Encoding: chunked\r\n") + "10000000000000000\r\n"},
         failure(L"Chunked answer cannot be read")},
        {"length, extra bytes ignored", {head("Content-Length: 3\r\n") + "abcdef"}, body("abc")},
        {"length, ended early", {head("Content-Length: 10\r\n") + "abc"}, failure(kBrokenOff)},
        {"length given twice alike", {head("Content-Length: 3\r\nContent-Length: 3, 3\r\n") + "abc"}, body("abc")},
        {"two different lengths", {head("Content-Length: 3\r\nContent-Length: 4\r\n") + "abcd"},
         failure(L"Answer with two different lengths")},
        {"chunked wins over a length", {head("Content-Length: 2\r\nTransfer-Encoding: chunked\r\n") + coded},
         body(kFeed)},
        {"interim answers skipped",
         {"HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 103 Early Hints\r\nLink: </s.css>\r\n\r\n",
          head("Content-Length: 3\r\n") + "abc"},
         body("abc")},
        {"to the connection's end", {head(""), "abc", "def"}, body("abcdef")},
    };
    // Every place a chunked body can be cut between two receives.
    const std::string whole = head("Transfer-Encoding: chunked\r\n") + chunked("abcdef", 4);
    for (size_t cut = whole.find("\r\n\r\n") + 4; cut < whole.size(); ++cut)
        cases.push_back({"chunked, cut", {whole.substr(0, cut), whole.substr(cut)}, body("abcdef")});
    expectCases("127.0.4.80", cases);
}

TEST(HttpFraming, CompressedBodiesAreDecoded)
{
    const std::string gzip = compressed(kFeed, Wrapping::Gzip);
    const std::string length = "Content-Length: " + std::to_string(gzip.size()) + "\r\n";
    const std::string bomb = compressed(std::string(8u << 20, 'a'), Wrapping::Gzip); // 8 MiB in about 8 KiB
    const std::vector<Case> cases = {
        {"gzip", {head("Content-Encoding: gzip\r\n" + length) + gzip}, body(kFeed)},
        {"x-gzip, any case", {head("content-encoding: X-GZIP\r\n") + gzip}, body(kFeed)},
        {"gzip in chunks",
         {head("Content-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n") + chunked(gzip, 5)},
         body(kFeed)},
        {"deflate, zlib-wrapped", {head("Content-Encoding: deflate\r\n") + compressed(kFeed, Wrapping::Zlib)},
         body(kFeed)},
        {"deflate, raw", {head("Content-Encoding: deflate\r\n") + compressed(kFeed, Wrapping::Raw)}, body(kFeed)},
        {"identity", {head("Content-Encoding: identity\r\n") + kFeed}, body(kFeed)},
        {"gzip cut short", {head("Content-Encoding: gzip\r\n") + gzip.substr(0, gzip.size() / 2)},
         failure(kBrokenOff)},
        {"not gzip at all", {head("Content-Encoding: gzip\r\n") + kFeed},
         failure(L"Compressed answer cannot be decoded")},
        {"unknown coding", {head("Content-Encoding: br\r\n") + "x"}, failure(L"Unsupported content encoding: br")},
        {"a bomb", {head("Content-Encoding: gzip\r\n") + bomb}, failure(L"Response too large")},
    };
    expectCases("127.0.4.81", cases, 1u << 20);
}

// Strict front ends: HTTP/1.0 refused (426), a list of types they cannot give
// refused (406), and compression only for a client that asks for it.
TEST(HttpFraming, StrictFrontEndsAnswer)
{
    LoopbackServer server("127.0.4.82");
    server.serve("/feed", [](const std::string& request) {
        const std::string accept = HttpMessage::headerValue(request + "\r\n\r\n", "accept");
        if (request.find(" HTTP/1.1\r\n") == std::string::npos)
            return rawResponse({"HTTP/1.1 426 Upgrade Required\r\nContent-Length: 0\r\n\r\n"});
        if (accept.find("application/rss+xml") == std::string::npos && accept.find("*/*") == std::string::npos)
            return rawResponse({"HTTP/1.1 406 Not Acceptable\r\nContent-Length: 0\r\n\r\n"});
        if (HttpMessage::headerValue(request + "\r\n\r\n", "accept-encoding").find("gzip") == std::string::npos)
            return rawResponse({head("") + kFeed});
        return rawResponse({head("Content-Encoding: gzip\r\n") + compressed(kFeed + "<!--gz-->", Wrapping::Gzip)});
    });
    EXPECT_EQ(fetchOutcome(server.url("/feed")), body(kFeed + "<!--gz-->"));
}

// A Location value can hold nothing that would end the next request's line.
TEST(HttpFraming, LocationsThatCouldForgeARequestAreRefused)
{
    LoopbackServer server("127.0.4.83");
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"LF", "http://127.0.4.83/x\nX-Injected: yes"}, {"CR", "/x\rX-Injected: yes"},
        {"TAB", "/x\ty"}, {"NUL", std::string("/x\0y", 4)}};
    for (const auto& [name, location] : refused) {
        server.serve("/" + name, rawResponse({"HTTP/1.1 302 Found\r\nLocation: " + location + "\r\n\r\n"}));
        EXPECT_EQ(fetchOutcome(server.url("/" + name)), failure(L"Redirect to an invalid address")) << name;
    }
    // Spaces, non-ASCII and fragments are the address's own: percent-encoded, the fragment kept home.
    server.serve("/spaced", rawResponse({"HTTP/1.1 302 Found\r\nLocation: /a b/caf\xc3\xa9#top\r\n\r\n"}));
    server.serve("/a%20b/caf%C3%A9", httpResponse(kFeed));
    EXPECT_EQ(fetchOutcome(server.url("/spaced")), body(kFeed));
    for (const std::string& request : server.requests())
        EXPECT_EQ(request.find_first_of("\t\n\r", request.find(' ')), request.find("\r\n")) << request;
}

// Validators go only to the origin that gave them, not to every redirect hop.
TEST(HttpFraming, ValidatorsStayWithTheirOrigin)
{
    LoopbackServer first("127.0.4.84");
    LoopbackServer second("127.0.4.85");
    first.serve("/old", rawResponse({"HTTP/1.1 301 Moved\r\nLocation: http://127.0.4.85/new\r\n\r\n"}));
    second.serve("/new", httpResponse(kFeed));
    FetchControl control;
    for (const wchar_t* origin : {L"http://127.0.4.84", L"http://127.0.4.85"}) {
        const HttpValidators known{"\"v1\"", "Mon, 04 May 2026 11:00:00 GMT", origin};
        const HttpAnswer answer = HttpClient::fetch(Url::parse(L"http://127.0.4.84/old"), known, control);
        EXPECT_EQ(answer.validators.origin, L"http://127.0.4.85");
    }
    ASSERT_EQ(first.requests().size(), 2u);
    ASSERT_EQ(second.requests().size(), 2u);
    EXPECT_NE(first.requests()[0].find("If-None-Match: \"v1\""), std::string::npos);
    EXPECT_EQ(second.requests()[0].find("If-None-Match"), std::string::npos);
    EXPECT_EQ(first.requests()[1].find("If-None-Match"), std::string::npos);
    EXPECT_NE(second.requests()[1].find("If-Modified-Since: Mon, 04 May 2026"), std::string::npos);
}

} // namespace
