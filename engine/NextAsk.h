#pragma once
// When an address is asked again: the longest hint its server's answer and
// its feed give, never more than an hour on; no hint, every refresh.
#include <cstdint>
#include <optional>

#include "net/HttpAnswer.h"
#include "rss/Channel.h"

// No feed is asked later than this after its last check, whatever it says: a
// hint of a day must not hide a day's news.
constexpr int64_t kLongestHintSeconds = 3600;
// Timer events and a refresh's own run drift by seconds: an address due that
// little after a refresh starts is asked in it, not a whole timer period late.
constexpr int64_t kDueSlackSeconds = 60;

// Seconds the answer may be used without asking: max-age less Age, else
// Expires less Date; 0 for no-store, no-cache or an answer already stale;
// nullopt when its headers say nothing of it.
std::optional<int64_t> cacheLifetime(const HttpCacheHeaders& headers);

// The longest of the feed's own hints (RSS's ttl in minutes, the syndication
// module's period); 0: none.
int64_t feedHintSeconds(const Channel& channel);

// When an address checked at `checkedAt` is due again; 0: at every refresh.
int64_t nextAskAt(int64_t checkedAt, int64_t cacheSeconds, const Channel& channel);

// Whether a refresh at `now` asks an address due at `dueAt`. A due time
// further off than any hint allows means the clock was set back: asked.
inline bool isDue(int64_t dueAt, int64_t now)
{
    return now + kDueSlackSeconds >= dueAt || dueAt - now > kLongestHintSeconds;
}
