#pragma once
// The refresh timer's callback and the worker thread that checks the list.
#include <windows.h>

#include <string>
#include <vector>

#include "core/HostApi.h"

class FeedStore;
struct RefreshTask;

intptr_t onRefreshTimer(intptr_t timerEvent, intptr_t unused, void* callbackData);
void startRefresh(FeedStore* store, bool notify);
DWORD WINAPI runRefresh(LPVOID task);

// Cuts the feed list at every CR LF; the text after the last pair is a line too.
std::vector<std::wstring> splitFeedList(const std::wstring& list);
