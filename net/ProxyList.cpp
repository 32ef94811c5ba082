#include "net/ProxyList.h"

#include <cwctype>
#include <vector>

namespace {

std::vector<std::wstring> entries(const std::wstring& list, const wchar_t* separators)
{
    std::vector<std::wstring> found;
    for (size_t at = list.find_first_not_of(separators); at != std::wstring::npos;) {
        const size_t end = list.find_first_of(separators, at);
        found.push_back(list.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
        at = end == std::wstring::npos ? end : list.find_first_not_of(separators, end);
    }
    return found;
}

std::wstring lowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// "host", "host:port", "[v6]:port", with an optional "http://" before it.
// A "user:password@" is dropped: the plug-in sends a proxy no credentials,
// and a warning naming the proxy must not show them.
std::optional<ProxyServer> server(std::wstring entry)
{
    const size_t scheme = entry.find(L"://");
    if (scheme != std::wstring::npos)
        entry.erase(0, scheme + 3);
    entry = entry.substr(0, entry.find(L'/'));
    entry.erase(0, entry.rfind(L'@') + 1); // npos + 1 is 0: nothing to drop
    ProxyServer proxy;
    size_t colon = entry.rfind(L':');
    std::wstring host = entry.substr(0, colon);
    if (!entry.empty() && entry[0] == L'[') {
        const size_t close = entry.find(L']');
        if (close == std::wstring::npos)
            return std::nullopt;
        host = entry.substr(1, close - 1);
        colon = close + 1 < entry.size() && entry[close + 1] == L':' ? close + 1 : std::wstring::npos;
    }
    if (colon != std::wstring::npos) {
        const std::wstring digits = entry.substr(colon + 1);
        unsigned value = 0;
        for (wchar_t c : digits)
            value = c >= L'0' && c <= L'9' && value <= 65535 ? value * 10 + (c - L'0') : 65536;
        if (digits.empty() || value == 0 || value > 65535)
            return std::nullopt;
        proxy.port = static_cast<uint16_t>(value);
    }
    for (wchar_t c : host) {
        if (c <= 0x20 || c >= 0x7f)
            return std::nullopt; // it goes into a request line as it is
        proxy.host.push_back(static_cast<char>(c));
    }
    if (proxy.host.empty())
        return std::nullopt;
    return proxy;
}

// '*' matches any run. One backtrack point, no recursion: at most pattern
// times text steps, however many stars an entry has.
bool matches(const std::wstring& pattern, const std::wstring& text)
{
    size_t p = 0, t = 0, star = std::wstring::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::wstring ProxyServer::name() const
{
    const std::wstring wide(host.begin(), host.end());
    return (wide.find(L':') == std::wstring::npos ? wide : L"[" + wide + L"]") + L":" + std::to_wstring(port);
}

std::optional<ProxyServer> proxyFromList(const std::wstring& list, bool https)
{
    const std::wstring wanted = https ? L"https" : L"http";
    for (const std::wstring& entry : entries(list, L"; \t")) {
        const size_t equals = entry.find(L'=');
        if (equals == std::wstring::npos || lowered(entry.substr(0, equals)) == wanted)
            return server(equals == std::wstring::npos ? entry : entry.substr(equals + 1));
    }
    return std::nullopt;
}

bool bypassesProxy(const std::wstring& bypassList, const std::wstring& host)
{
    const std::wstring name = lowered(host);
    for (std::wstring entry : entries(lowered(bypassList), L";, \t")) {
        if (entry == L"<local>") {
            if (name.find(L'.') == std::wstring::npos && name.find(L':') == std::wstring::npos)
                return true;
            continue;
        }
        const size_t scheme = entry.find(L"://");
        if (scheme != std::wstring::npos)
            entry.erase(0, scheme + 3);
        // "[::1]" and "host:8080" name a host: the brackets and the port go.
        const size_t close = entry.rfind(L']');
        const size_t colon = entry.rfind(L':');
        if (colon != std::wstring::npos && (close == std::wstring::npos ? entry.find(L':') == colon : colon > close))
            entry.erase(colon);
        if (!entry.empty() && entry.front() == L'[' && entry.back() == L']')
            entry = entry.substr(1, entry.size() - 2);
        if (matches(entry, name))
            return true;
    }
    return false;
}
