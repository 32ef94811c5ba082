#include "net/HttpMessage.h"

#include <cctype>
#include <limits>

#include "base/RSSException.h"

namespace {

bool startsWithNoCase(const std::string& text, size_t at, const char* prefix)
{
    for (; *prefix != '\0'; ++prefix, ++at) {
        if (at >= text.size() || tolower(static_cast<unsigned char>(text[at])) != *prefix)
            return false;
    }
    return true;
}

// Decimal digits from `at`, after blanks; a value too large saturates.
std::optional<size_t> number(const std::string& text, size_t at, size_t end)
{
    while (at < end && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    if (at == end || !isdigit(static_cast<unsigned char>(text[at])))
        return std::nullopt;
    constexpr size_t kLargest = std::numeric_limits<size_t>::max() / 10 - 9;
    size_t value = 0;
    for (; at < end && isdigit(static_cast<unsigned char>(text[at])); ++at)
        value = value > kLargest ? std::numeric_limits<size_t>::max() : value * 10 + (text[at] - '0');
    return value;
}

} // namespace

namespace HttpMessage {

std::string wireText(const std::wstring& text)
{
    // Byte for byte what the C locale's wcstombs gives, whatever locale the host sets.
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\0')
            break;
        if (static_cast<unsigned>(c) > 255)
            throw RSS::RSSException(L"Address has characters that cannot be sent");
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

std::string request(const std::string& host, const std::string& path)
{
    // host carries ":port" when the port is not the scheme's own.
    return "GET " + path + " HTTP/1.0\r\n" + "Host: " + host + "\r\n" + "Connection: close\r\n" +
           "Accept: text/xml\r\n" + "User-Agent: Mozilla/5.0\r\n" + "\r\n";
}

std::string statusCode(const std::string& response)
{
    return response.size() < 9 ? std::string() : response.substr(9, 3);
}

bool isRedirect(const std::string& status)
{
    return status == "301" || status == "302" || status == "303" || status == "307" || status == "308";
}

std::optional<std::string> location(const std::string& response)
{
    static const char kName[] = "\r\nlocation:";
    const size_t headerEnd = response.find("\r\n\r\n");
    if (headerEnd == std::string::npos)
        return std::nullopt;
    for (size_t line = response.find("\r\n"); line < headerEnd; line = response.find("\r\n", line + 2)) {
        if (!startsWithNoCase(response, line, kName))
            continue;
        const size_t valueEnd = response.find("\r\n", line + 2);
        size_t from = line + sizeof kName - 1;
        size_t to = valueEnd;
        while (from < to && (response[from] == ' ' || response[from] == '\t'))
            ++from;
        while (to > from && (response[to - 1] == ' ' || response[to - 1] == '\t'))
            --to;
        if (from == to)
            return std::nullopt;
        return response.substr(from, to - from);
    }
    return std::nullopt;
}

std::string body(std::string response)
{
    // Too short for a status code: as little an HTTP answer as one without a header end.
    if (response.size() < 9)
        throw RSS::RSSException(L"No HTTP data found");
    if (response.substr(9, 3) != "200")
        throw RSS::RSSException(L"HTTP response code diffrent than 200 received");
    const size_t headerEnd = response.find("\r\n\r\n");
    if (headerEnd == std::string::npos)
        throw RSS::RSSException(L"No HTTP data found");
    response.erase(0, headerEnd + 4); // in place: a large body is not held twice
    return response;
}

std::optional<size_t> contentLength(const std::string& response, size_t headerEnd)
{
    static const char kName[] = "\r\ncontent-length:";
    for (size_t line = response.find("\r\n"); line < headerEnd; line = response.find("\r\n", line + 2)) {
        if (startsWithNoCase(response, line, kName))
            return number(response, line + sizeof kName - 1, headerEnd);
    }
    return std::nullopt;
}

} // namespace HttpMessage
