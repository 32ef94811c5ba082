#include "net/ProxyList.h"

#include "net/Url.h"

#include <cwctype>
#include <optional>
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

// An entry read as an address is: "host", "host:port", "[v6]:port", any
// scheme before it and path after it ignored, a "user:password@" dropped (the
// plug-in sends a proxy no credentials, and a warning naming the proxy must
// not show them). Nullopt when it is none.
std::optional<Url> asAddress(std::wstring entry)
{
    const size_t scheme = entry.find(L"://");
    if (scheme != std::wstring::npos)
        entry.erase(0, scheme + 3);
    try {
        return Url::parse((L"http://" + entry).c_str());
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<ProxyServer> server(const std::wstring& entry)
{
    const std::optional<Url> address = asAddress(entry);
    if (!address || address->host.empty())
        return std::nullopt;
    ProxyServer proxy;
    proxy.port = address->port; // 80 when none is given, as the system takes it
    for (wchar_t c : address->host) {
        if (c <= 0x20 || c >= 0x7f)
            return std::nullopt; // it goes into a request line as it is
        proxy.host.push_back(static_cast<char>(c));
    }
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
    for (const std::wstring& entry : entries(lowered(bypassList), L";, \t")) {
        if (entry == L"<local>") {
            if (name.find(L'.') == std::wstring::npos && name.find(L':') == std::wstring::npos)
                return true;
            continue;
        }
        // "[::1]" and "host:8080" name a host: the brackets and the port go.
        const std::optional<Url> address = asAddress(entry);
        if (matches(address ? address->host : entry, name))
            return true;
    }
    return false;
}
