#include "engine/NextAsk.h"

#include <algorithm>
#include <cwctype>
#include <string>

#include "rss/FeedDate.h"

namespace {

// Numbers saturate here, far above any hint that counts.
constexpr int64_t kLargestSeconds = int64_t{1} << 40;

// A delta-seconds value; nullopt when it is not one.
std::optional<int64_t> seconds(std::string text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2); // max-age="60" is met
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    int64_t value = 0;
    for (char c : text)
        value = std::min(value * 10 + (c - '0'), kLargestSeconds);
    return value;
}

// What Cache-Control says: nullopt when it says nothing of freshness.
std::optional<int64_t> cacheControlLifetime(const HttpCacheHeaders& headers)
{
    const std::string& value = headers.cacheControl;
    std::optional<int64_t> maxAge;
    bool maxAgeSeen = false;
    for (size_t from = 0; from <= value.size();) {
        const size_t to = std::min(value.find(',', from), value.size());
        const std::string item = HttpMessage::listItem(value, from, to);
        from = to + 1;
        if (item == "no-store" || item.rfind("no-cache", 0) == 0)
            return 0;
        if (item.rfind("max-age=", 0) != 0 || maxAgeSeen)
            continue; // a second max-age is ignored: the first counts
        maxAgeSeen = true;
        maxAge = seconds(item.substr(8));
        if (!maxAge)
            return 0; // a max-age that is no number: stale, as caches take it
    }
    if (!maxAge)
        return std::nullopt;
    const std::optional<int64_t> age = seconds(headers.age);
    return std::max<int64_t>(*maxAge - age.value_or(0), 0);
}

// Expires less Date: both name their zone, so no local time enters.
std::optional<int64_t> expiresLifetime(const HttpCacheHeaders& headers)
{
    if (headers.expires.empty())
        return std::nullopt;
    const int64_t expires = parseFeedDate(headers.expires);
    if (expires <= 0)
        return 0; // "0" and other invalid dates mean already expired
    const int64_t date = parseFeedDate(headers.date);
    if (date <= 0)
        return std::nullopt; // nothing to measure it from
    return std::clamp<int64_t>(expires - date, 0, kLargestSeconds);
}

int64_t periodSeconds(std::wstring name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    const size_t first = name.find_first_not_of(L" \t\r\n");
    const size_t last = name.find_last_not_of(L" \t\r\n");
    name = first == std::wstring::npos ? std::wstring() : name.substr(first, last - first + 1);
    if (name == L"hourly")
        return 3600;
    if (name == L"daily" || name.empty()) // the module's default
        return 24 * 3600;
    if (name == L"weekly")
        return 7 * 24 * 3600;
    if (name == L"monthly")
        return 30 * 24 * 3600;
    if (name == L"yearly")
        return 365 * 24 * 3600;
    return 0;
}

int64_t syndicationSeconds(const Channel& channel)
{
    if (channel.updatePeriod.empty() && channel.updateFrequency <= 0)
        return 0;
    return periodSeconds(channel.updatePeriod) / std::max(channel.updateFrequency, 1);
}

} // namespace

std::optional<int64_t> cacheLifetime(const HttpCacheHeaders& headers)
{
    if (const std::optional<int64_t> control = cacheControlLifetime(headers))
        return control; // it overrides Expires
    return expiresLifetime(headers);
}

int64_t feedHintSeconds(const Channel& channel)
{
    const int64_t ttl = channel.ttl > 0 ? int64_t{channel.ttl} * 60 : 0;
    return std::max(ttl, syndicationSeconds(channel));
}

int64_t nextAskAt(int64_t checkedAt, int64_t cacheSeconds, const Channel& channel)
{
    const int64_t hint = std::max(cacheSeconds, feedHintSeconds(channel));
    return hint > 0 ? checkedAt + std::min(hint, kLongestHintSeconds) : 0;
}
