#pragma once
// One notification for a burst: a check that finds more new items than this
// shows one line for its feed instead of one per item (a feed just added, a
// site publishing a batch); every item still gets its news entry.
#include <cstddef>
#include <string>

inline constexpr size_t kMostSingleNotifications = 3;

// "N nowy wpis" / "N nowe wpisy" / "N nowych wpisów", as Polish counts them.
std::wstring newItemsText(size_t count);
