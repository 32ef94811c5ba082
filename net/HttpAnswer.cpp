#include "net/HttpAnswer.h"

#include <algorithm>
#include <cctype>

#include "base/RSSException.h"
#include "net/HttpMessage.h"

namespace {

// Longer validators are not kept: a server has no need of them, and a stored
// value must not grow without bound.
constexpr size_t kLongestValidator = 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Only printable text goes back on the wire: a value with a control byte
// could end our header line early and smuggle in a line of its own.
bool sendable(const std::string& value)
{
    if (value.size() > kLongestValidator)
        return false;
    for (char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    return true;
}

std::string validator(const std::string& response, const char* name)
{
    std::string value = HttpMessage::headerValue(response, name);
    return sendable(value) ? value : std::string();
}

} // namespace

namespace HttpMessage {

namespace {

// A list header sent on several lines is one list.
std::string allValues(const std::string& response, const char* name)
{
    std::string joined;
    for (const std::string& value : headerValues(response, name))
        joined += (joined.empty() ? "" : ", ") + value;
    return joined;
}

} // namespace

std::string conditional(std::string request, const HttpValidators& known)
{
    std::string lines;
    if (!known.etag.empty())
        lines += "If-None-Match: " + known.etag + "\r\n";
    if (!known.lastModified.empty())
        lines += "If-Modified-Since: " + known.lastModified + "\r\n";
    request.insert(request.size() - 2, lines); // before the empty line that ends the header
    return request;
}

std::string listItem(const std::string& value, size_t from, size_t to)
{
    while (from < to && isBlank(value[from]))
        ++from;
    while (to > from && isBlank(value[to - 1]))
        --to;
    std::string item = value.substr(from, to - from);
    for (char& c : item)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return item;
}

std::vector<std::string> headerValues(const std::string& response, const char* name)
{
    std::vector<std::string> values;
    const size_t headerEnd = response.find("\r\n\r\n");
    if (headerEnd == std::string::npos)
        return values;
    for (size_t line = response.find("\r\n"); line < headerEnd; line = response.find("\r\n", line + 2)) {
        size_t at = line + 2;
        const char* wanted = name;
        while (*wanted != '\0' && at < headerEnd && tolower(static_cast<unsigned char>(response[at])) == *wanted) {
            ++wanted;
            ++at;
        }
        if (*wanted != '\0' || at >= headerEnd || response[at] != ':')
            continue;
        size_t end = response.find("\r\n", at);
        ++at;
        while (at < end && isBlank(response[at]))
            ++at;
        while (end > at && isBlank(response[end - 1]))
            --end;
        values.push_back(response.substr(at, end - at));
    }
    return values;
}

std::string headerValue(const std::string& response, const char* name)
{
    std::vector<std::string> values = headerValues(response, name);
    return values.empty() ? std::string() : std::move(values.front());
}

HttpAnswer answer(HttpResponse response, bool conditional)
{
    HttpAnswer answer;
    const std::string& head = response.head;
    const std::string status = statusCode(head);
    answer.cache = {allValues(head, "cache-control"), headerValue(head, "expires"), headerValue(head, "date"),
                    headerValue(head, "age")};
    if (status == "304" && conditional) {
        answer.notModified = true;
        return answer;
    }
    if (status == "429" || status == "503")
        throw RSS::RetryLaterException(L"HTTP response code diffrent than 200 received",
                                       headerValue(head, "retry-after"));
    if (status == "404" || status == "410")
        throw RSS::NotThereException(L"HTTP response code diffrent than 200 received");
    checkHead(head);
    answer.validators = {validator(head, "etag"), validator(head, "last-modified"), {}};
    const std::string type = headerValue(head, "content-type");
    answer.mediaType = listItem(type, 0, std::min(type.find(';'), type.size()));
    answer.body = std::move(response.body);
    return answer;
}

} // namespace HttpMessage
