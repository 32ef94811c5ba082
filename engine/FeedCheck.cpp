#include "engine/FeedCheck.h"

void checkFeed(const RefreshTask&, const wchar_t*) noexcept
{
}
