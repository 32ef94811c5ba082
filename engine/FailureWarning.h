#pragma once
// The warning of a failed check, raised once per outage: when the address
// starts failing (its first check, or the first failure after a success) and
// again only when the warning changes. Repeats go to the log instead.
#include <string>

#include "engine/FeedMemory.h"

struct RefreshTask;

void raiseWarning(const RefreshTask& task, const std::wstring& address, FeedWarning warning);
