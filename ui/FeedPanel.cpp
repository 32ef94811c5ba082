#include "ui/FeedPanel.h"

intptr_t FeedPanel::onEvent(intptr_t, intptr_t, void*)
{
    return 0;
}
void FeedPanel::create(const HostApi*, HWND, const RECT&)
{
}
LRESULT CALLBACK FeedPanel::treeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    return DefSubclassProc(window, message, wParam, lParam);
}
void FeedPanel::rebuild(const std::vector<Channel>&)
{
}
