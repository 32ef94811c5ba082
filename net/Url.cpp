#include "net/Url.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

#include "base/RSSException.h"

namespace {

const wchar_t kUnsupported[] = L"Address not supported: only http:// and https:// feeds can be read";
const wchar_t kBadPort[] = L"Address has an invalid port number (1 to 65535)";

bool startsWithNoCase(const std::wstring& text, size_t at, const wchar_t* prefix)
{
    for (; *prefix != L'\0'; ++prefix, ++at) {
        if (at >= text.size() || static_cast<wchar_t>(std::towlower(text[at])) != *prefix)
            return false;
    }
    return true;
}

bool isAsciiLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool isDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The length of an RFC 3986 scheme name followed by ':' at `at`, or 0.
size_t schemeLength(const std::wstring& text, size_t at)
{
    if (at >= text.size() || !isAsciiLetter(text[at]))
        return 0;
    size_t end = at + 1;
    while (end < text.size() && (isAsciiLetter(text[end]) || isDigit(text[end]) || text[end] == L'+' ||
                                 text[end] == L'-' || text[end] == L'.'))
        ++end;
    return end < text.size() && text[end] == L':' ? end - at : 0;
}

// "host:8080/feed" has no scheme: the name before ':' is a host when digits follow up to the path.
bool isHostAndPort(const std::wstring& text, size_t colon)
{
    size_t end = colon + 1;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end > colon + 1 && (end == text.size() || text[end] == L'/');
}

// Where the authority starts, with the scheme it implies; throws for any scheme we cannot read.
size_t authorityStart(const std::wstring& text, size_t at, Url::Scheme& scheme)
{
    const size_t length = schemeLength(text, at);
    if (length == 0 || isHostAndPort(text, at + length))
        return at;
    if (startsWithNoCase(text, at, L"http://"))
        return at + 7;
    if (startsWithNoCase(text, at, L"https://")) {
        scheme = Url::Scheme::Https;
        return at + 8;
    }
    if (startsWithNoCase(text, at, L"feed://"))
        return at + 7;
    if (startsWithNoCase(text, at, L"feed:http://") || startsWithNoCase(text, at, L"feed:https://"))
        return authorityStart(text, at + 5, scheme);
    throw RSS::RSSException(kUnsupported);
}

uint16_t portNumber(const std::wstring& digits)
{
    if (digits.empty() || digits.size() > 5)
        throw RSS::RSSException(kBadPort);
    unsigned value = 0;
    for (wchar_t c : digits) {
        if (!isDigit(c))
            throw RSS::RSSException(kBadPort);
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value == 0 || value > 65535)
        throw RSS::RSSException(kBadPort);
    return static_cast<uint16_t>(value);
}

// Hex digits, colons and dots (an IPv4 tail), at least two colons; the
// system's own parser judges the rest. Zone ids are not taken.
bool isIpv6Literal(const std::wstring& text)
{
    size_t colons = 0;
    for (wchar_t c : text) {
        if (c == L':')
            ++colons;
        else if (!isDigit(c) && !(c >= L'a' && c <= L'f') && !(c >= L'A' && c <= L'F') && c != L'.')
            return false;
    }
    return colons >= 2;
}

} // namespace

std::wstring withoutCredentials(const std::wstring& address)
{
    const size_t slashes = address.find(L"://");
    const bool schemed = slashes != std::wstring::npos && slashes < address.find_first_of(L"/?#");
    const size_t start = schemed ? slashes + 3 : address.find_first_not_of(L" \t");
    if (start == std::wstring::npos)
        return address;
    const size_t end = std::min(address.find_first_of(L"/?#", start), address.size());
    size_t at = address.rfind(L'@', end == 0 ? 0 : end - 1);
    if (at == std::wstring::npos || at < start) {
        // "user:pa/ss@host": a password with an unencoded '/' still hides;
        // "host:8080/feed/@name" is a port and a path, shown as it is.
        const size_t colon = address.find(L':', start);
        const size_t later = address.rfind(L'@', std::min(address.find_first_of(L"?#", start), address.size()) - 1);
        if (colon >= end || later == std::wstring::npos || later < end ||
            address.find_first_not_of(L"0123456789", colon + 1) >= end)
            return address;
        at = later;
    }
    return address.substr(0, start) + address.substr(at + 1);
}

Url Url::parse(const wchar_t* address)
{
    const std::wstring text = address ? address : L"";
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        throw std::out_of_range("empty address");
    Url url;
    const size_t start = authorityStart(text, first, url.scheme);
    // No scheme, no '/' and blanks inside: stray words in the list, skipped without a word as ever.
    if (start == first && text.find(L'/', first) == std::wstring::npos &&
        text.find_first_of(L" \t", first) != std::wstring::npos)
        throw std::out_of_range("words, not an address");
    const size_t end = text.find_first_of(L"/?#", start);
    std::wstring authority = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    url.path = end == std::wstring::npos ? L"/" : text.substr(end);
    if (url.path[0] != L'/')
        url.path.insert(0, 1, L'/');
    const size_t at = authority.rfind(L'@');
    if (at != std::wstring::npos) {
        url.userInfo = authority.substr(0, at);
        authority.erase(0, at + 1);
    }
    url.port = defaultPort(url.scheme);
    size_t colon = authority.rfind(L':');
    if (!authority.empty() && authority[0] == L'[') {
        const size_t close = authority.find(L']');
        if (close == std::wstring::npos || !isIpv6Literal(authority.substr(1, close - 1)))
            throw RSS::RSSException(kUnsupported);
        colon = close + 1 < authority.size() && authority[close + 1] == L':' ? close + 1 : std::wstring::npos;
        if (colon == std::wstring::npos && close + 1 != authority.size())
            throw RSS::RSSException(kUnsupported);
        url.host = authority.substr(1, close - 1);
    } else if (authority.find(L':') != colon || authority.find_first_of(L"[]") != std::wstring::npos) {
        throw RSS::RSSException(kUnsupported); // a second colon or a stray bracket: no host we can reach
    } else {
        url.host = authority.substr(0, colon);
    }
    if (colon != std::wstring::npos)
        url.port = portNumber(authority.substr(colon + 1));
    return url;
}

std::wstring Url::authority() const
{
    const std::wstring name = host.find(L':') == std::wstring::npos ? host : L"[" + host + L"]";
    return hasDefaultPort() ? name : name + L":" + std::to_wstring(port);
}

std::wstring Url::text() const
{
    return (scheme == Scheme::Https ? L"https://" : L"http://") + authority() + path;
}

std::wstring Url::origin() const
{
    std::wstring origin = (scheme == Scheme::Https ? L"https://" : L"http://") + authority();
    for (wchar_t& c : origin)
        c = static_cast<wchar_t>(towlower(c));
    return origin;
}
