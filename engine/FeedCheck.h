#pragma once
// Checks one feed address: read, store, announce new items, report failures.

struct RefreshTask;

void checkFeed(const RefreshTask& task, const wchar_t* address) noexcept;
