#pragma once
// The refresh timer's callback: codes 1 (silent) and 3 (notifying) start a refresh.
#include <cstdint>

intptr_t onRefreshTimer(intptr_t timerEvent, intptr_t unused, void* callbackData);
