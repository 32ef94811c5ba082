#pragma once
// Checks one feed address: read, store, announce new items, report failures.

struct FetchedFeed;
struct RefreshTask;

// `fetched` is what fetching and reading the address gave (FeedFetches).
void checkFeed(const RefreshTask& task, const wchar_t* address, FetchedFeed fetched) noexcept;
