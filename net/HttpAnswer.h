#pragma once
// Conditional requests and what their answers mean: the validators a 200
// answer carries, 304 Not Modified, and 429/503 with the wait they ask for.
// Portable: no sockets here.
#include <string>
#include <vector>

#include "net/HttpResponse.h"

// What names the version of a document a server sent; sent back with the next
// request so that the server can answer that nothing changed.
struct HttpValidators {
    std::string etag;
    std::string lastModified;
    // The origin (Url::origin) of the server that gave them: no other is sent them.
    std::wstring origin;
    bool empty() const { return etag.empty() && lastModified.empty(); }
};

// The headers that say how long an answer may be used without asking again,
// as the server sent them (200 and 304 alike); read by the refresh's schedule.
struct HttpCacheHeaders {
    std::string cacheControl;
    std::string expires;
    std::string date;
    std::string age;
};

struct HttpAnswer {
    bool notModified = false;  // 304 to a conditional request: no body
    std::string body;          // of a 200 answer
    HttpValidators validators; // of a 200 answer; empty when it sent none
    std::string mediaType;     // of a 200 answer: Content-Type without parameters, lower case
    std::wstring finalAddress; // where the answer came from, after redirects
    // Where the address asked has moved for good: the last of the redirects
    // that were all permanent (301, 308) from the first hop on; empty otherwise.
    std::wstring movedTo;
    HttpCacheHeaders cache;
};

namespace HttpMessage {

// The request with If-None-Match and If-Modified-Since lines for the validators
// known, before its empty line; unchanged when none is known.
std::string conditional(std::string request, const HttpValidators& known);

// The value of the first header line of that name (lower case, without the
// colon), blanks trimmed; empty when there is none or the header has no end.
std::string headerValue(const std::string& response, const char* name);
// An item of a header's comma-separated list: blanks trimmed, lower case.
std::string listItem(const std::string& value, size_t from, size_t to);
// The values of every header line of that name, in order.
std::vector<std::string> headerValues(const std::string& response, const char* name);

// 200: the body and its validators. 304 is an answer only to a conditional
// request. 429 and 503 raise RSS::RetryLaterException with their Retry-After,
// 404 and 410 RSS::NotThereException; everything else fails as
// HttpMessage::body does.
HttpAnswer answer(HttpResponse response, bool conditional);

} // namespace HttpMessage
