#include "net/SystemProxy.h"

#include <windows.h>
#include <winhttp.h>

#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "net/DetachedCall.h"

namespace {

// A script's answer, or a detection's failure, is asked again after this: a
// network that changed is followed within minutes, and a detection that
// takes seconds (WPAD over DNS, a script engine's first start) is not paid on
// every fetch.
constexpr uint64_t kDiscoveryKeptMs = 5 * 60 * 1000;

// The strings WinHTTP hands over, freed with GlobalFree.
struct GlobalText {
    LPWSTR text = nullptr;
    GlobalText() = default;
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    ~GlobalText()
    {
        if (text != nullptr)
            GlobalFree(text);
    }
    std::wstring value() const { return text != nullptr ? text : L""; }
};

struct UserSettings {
    bool autoDetect = false;
    std::wstring scriptUrl;
    std::wstring proxy;
    std::wstring bypass;
};

bool readUserSettings(UserSettings& settings)
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    const BOOL read = WinHttpGetIEProxyConfigForCurrentUser(&config);
    GlobalText script, proxy, bypass; // freed on every path
    script.text = config.lpszAutoConfigUrl;
    proxy.text = config.lpszProxy;
    bypass.text = config.lpszProxyBypass;
    if (!read)
        return false;
    settings = {config.fAutoDetect != FALSE, script.value(), proxy.value(), bypass.value()};
    return true;
}

// What a script or detection said; `answered` false when it failed.
struct Discovery {
    bool answered = false;
    std::wstring proxy; // empty: direct
    uint64_t at = 0;
};

void discover(const UserSettings& settings, const std::wstring& address, Discovery& found)
{
    const std::unique_ptr<void, decltype(&WinHttpCloseHandle)> session(
        WinHttpOpen(L"quillFeed", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0),
        &WinHttpCloseHandle);
    if (!session)
        return;
    WINHTTP_AUTOPROXY_OPTIONS options{};
    if (settings.autoDetect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    if (!settings.scriptUrl.empty()) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = settings.scriptUrl.c_str();
    }
    WINHTTP_PROXY_INFO info{};
    const BOOL asked = WinHttpGetProxyForUrl(session.get(), address.c_str(), &options, &info);
    GlobalText proxy, bypass;
    proxy.text = info.lpszProxy;
    bypass.text = info.lpszProxyBypass;
    if (!asked)
        return;
    found.answered = true;
    if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY)
        found.proxy = proxy.value();
}

// One answer per settings and scheme://host, shared by every load.
std::mutex cacheMutex;
std::map<std::wstring, Discovery> cache;

void keep(const std::wstring& key, Discovery found)
{
    found.at = GetTickCount64();
    std::lock_guard<std::mutex> hold(cacheMutex);
    for (auto it = cache.begin(); it != cache.end();) // old answers go: the map stays as small as the list
        it = found.at - it->second.at >= kDiscoveryKeptMs ? cache.erase(it) : std::next(it);
    cache[key] = found;
}

std::optional<Discovery> kept(const std::wstring& key)
{
    std::lock_guard<std::mutex> hold(cacheMutex);
    const auto found = cache.find(key);
    if (found == cache.end() || GetTickCount64() - found->second.at >= kDiscoveryKeptMs)
        return std::nullopt;
    return found->second;
}

// A discovery that outlasts the fetch's wait is not given up: it keeps its
// answer when it ends, for the fetches after this one. An answer is kept per
// scheme and host (a script may name a proxy per host); a failure for the
// settings alone, so that a network without detection costs one try, not one
// per feed.
Discovery discovered(const UserSettings& settings, const Url& url, uint64_t until, const FetchControl& control)
{
    const std::wstring settingsKey = std::to_wstring(settings.autoDetect) + L" " + settings.scriptUrl;
    const std::wstring key = settingsKey + L" " + url.origin();
    if (std::optional<Discovery> failed = kept(settingsKey))
        return *failed;
    if (std::optional<Discovery> answer = kept(key))
        return *answer;
    auto found = std::make_shared<Discovery>();
    auto asked = std::make_shared<UserSettings>(settings);
    const std::wstring address = url.text(); // never the credentials: a script sees no password
    const bool finished = callDetached(
        [found, asked, address, key, settingsKey] {
            discover(*asked, address, *found);
            keep(found->answered ? key : settingsKey, *found);
        },
        until, control);
    return finished ? *found : Discovery{};
}

} // namespace

std::optional<ProxyServer> systemProxyFor(const Url& url, uint64_t until, const FetchControl& control)
{
    UserSettings settings;
    if (!readUserSettings(settings))
        return std::nullopt; // no settings to read: the way it always went
    const bool https = url.scheme == Url::Scheme::Https;
    if (settings.autoDetect || !settings.scriptUrl.empty()) {
        const Discovery found = discovered(settings, url, until, control);
        if (found.answered)
            return found.proxy.empty() ? std::nullopt : proxyFromList(found.proxy, https);
    }
    if (settings.proxy.empty() || bypassesProxy(settings.bypass, url.host))
        return std::nullopt;
    return proxyFromList(settings.proxy, https);
}
