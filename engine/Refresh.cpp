#include "engine/Refresh.h"

intptr_t onRefreshTimer(intptr_t, intptr_t, void*)
{
    return 0;
}

void startRefresh(FeedStore*, bool)
{
}

DWORD WINAPI runRefresh(LPVOID)
{
    return 0;
}

std::vector<std::wstring> splitFeedList(const std::wstring&)
{
    return {};
}
