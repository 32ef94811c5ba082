#include "net/HttpMessage.h"

#include <cctype>
#include <cstdint>

#include "base/RSSException.h"
#include "net/UrlReference.h"

namespace {

bool startsWithNoCase(const std::string& text, size_t at, const char* prefix)
{
    for (; *prefix != '\0'; ++prefix, ++at) {
        if (at >= text.size() || tolower(static_cast<unsigned char>(text[at])) != *prefix)
            return false;
    }
    return true;
}

// Feed types first, then anything: content-negotiating servers answer 406 to
// a list of types they cannot give, and some feeds come as text/html.
const char* const kAccept = "Accept: application/rss+xml, application/atom+xml, application/rdf+xml, "
                            "application/xml;q=0.9, text/xml;q=0.9, */*;q=0.8\r\n";
const char* const kAcceptEncoding = "Accept-Encoding: gzip, deflate\r\n";
// Names the plug-in, in the form firewalls let through: a bare browser-like
// agent looks like a bot to many of them.
const char* const kUserAgent = "Mozilla/5.0 (compatible; quillFeed/" QF_VERSION_TEXT "; news-feed plug-in for WTW)";

std::string utf8(const std::wstring& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xd800 && c < 0xdc00 && i + 1 < text.size() && text[i + 1] >= 0xdc00 && text[i + 1] < 0xe000)
            c = 0x10000 + ((c - 0xd800) << 10) + (static_cast<uint16_t>(text[++i]) - 0xdc00);
        else if (c >= 0xd800 && c < 0xe000)
            c = 0xfffd; // a lone surrogate has no UTF-8 form
        if (c < 0x80) {
            bytes.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            bytes.push_back(static_cast<char>(0xc0 | (c >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3f)));
        } else if (c < 0x10000) {
            bytes.push_back(static_cast<char>(0xe0 | (c >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3f)));
        } else {
            bytes.push_back(static_cast<char>(0xf0 | (c >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3f)));
            bytes.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
            bytes.push_back(static_cast<char>(0x80 | (c & 0x3f)));
        }
    }
    return bytes;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// %XX escapes made bytes again; a '%' not followed by two hex digits stays.
std::string percentDecoded(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string base64(const std::string& bytes)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<uint8_t>(bytes[i + 2]);
        out.push_back(kDigits[group >> 18]);
        out.push_back(kDigits[(group >> 12) & 63]);
        out.push_back(i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=');
        out.push_back(i + 2 < bytes.size() ? kDigits[group & 63] : '=');
    }
    return out;
}

// Strict UTF-8 to UTF-16; false for bytes that are not UTF-8.
bool fromUtf8(const std::string& bytes, std::wstring& text)
{
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xc2 && lead < 0xe0 ? 1 : lead >= 0xe0 && lead < 0xf0 ? 2
                                        : lead >= 0xf0 && lead < 0xf5 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= bytes.size())
            return false;
        uint32_t c = extra == 0 ? lead : lead & (0x3f >> extra);
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3f);
        }
        const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[extra] || c > 0x10ffff || (c >= 0xd800 && c < 0xe000))
            return false;
        if (c >= 0x10000) {
            text.push_back(static_cast<wchar_t>(0xd800 + ((c - 0x10000) >> 10)));
            text.push_back(static_cast<wchar_t>(0xdc00 + ((c - 0x10000) & 0x3ff)));
        } else {
            text.push_back(static_cast<wchar_t>(c));
        }
        i += 1 + static_cast<size_t>(extra);
    }
    return true;
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

std::string request(const std::string& authority, const std::string& target)
{
    return "GET " + target + " HTTP/1.1\r\n" + "Host: " + authority + "\r\n" + "Connection: close\r\n" + kAccept +
           kAcceptEncoding + "User-Agent: " + kUserAgent + "\r\n" + "\r\n";
}

std::string withHeader(std::string request, const std::string& line)
{
    request.insert(request.size() - 2, line + "\r\n");
    return request;
}

std::string basicCredentials(const std::wstring& userInfo)
{
    const size_t colon = userInfo.find(L':');
    const std::string pair = percentDecoded(utf8(userInfo.substr(0, colon))) + ":" +
                             (colon == std::wstring::npos ? "" : percentDecoded(utf8(userInfo.substr(colon + 1))));
    return "Basic " + base64(pair);
}

std::string requestTarget(const std::wstring& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string target;
    for (unsigned char byte : utf8(path.substr(0, path.find(L'#')))) {
        if (byte > 0x20 && byte < 0x7f) {
            target.push_back(static_cast<char>(byte));
        } else {
            target.push_back('%');
            target.push_back(kHex[byte >> 4]);
            target.push_back(kHex[byte & 0x0f]);
        }
    }
    return target.empty() ? "/" : target;
}

std::wstring locationAddress(const std::string& value)
{
    if (value.size() > kMaxLinkLength)
        throw RSS::RSSException(L"Redirect to an invalid address");
    for (unsigned char byte : value)
        if (byte < 0x20 || byte == 0x7f)
            throw RSS::RSSException(L"Redirect to an invalid address");
    std::wstring address;
    if (fromUtf8(value, address))
        return address;
    address.clear();
    for (unsigned char byte : value) // bytes 0 to 255 as the characters of the same value
        address.push_back(static_cast<wchar_t>(byte));
    return address;
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

void checkHead(const std::string& head)
{
    // Too short for a status code: as little an HTTP answer as one without a header end.
    if (head.size() < 9)
        throw RSS::RSSException(L"No HTTP data found");
    if (head.substr(9, 3) != "200")
        throw RSS::RSSException(L"HTTP response code diffrent than 200 received");
    if (head.find("\r\n\r\n") == std::string::npos)
        throw RSS::RSSException(L"No HTTP data found");
}

} // namespace HttpMessage
