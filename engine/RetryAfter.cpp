#include "engine/RetryAfter.h"

#include <algorithm>

#include "rss/FeedDate.h"

namespace {

constexpr int64_t kLongestWait = 24 * 60 * 60;

bool allDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Seconds, saturating well above the longest wait.
int64_t seconds(const std::string& digits)
{
    int64_t value = 0;
    for (char c : digits)
        value = std::min<int64_t>(value * 10 + (c - '0'), kLongestWait + 1);
    return value;
}

} // namespace

int64_t quietUntil(const std::string& retryAfter, int64_t now)
{
    // An HTTP date always names its zone (GMT), so it reads the same in any local time.
    const int64_t until = allDigits(retryAfter) ? now + seconds(retryAfter) : parseFeedDate(retryAfter);
    if (until <= now)
        return 0;
    return std::min(until, now + kLongestWait);
}
