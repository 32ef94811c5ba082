#pragma once
// Formats one line into the host's log ("WTW/Log").
#include <cstdarg>
#include <cstdint>

#include "host/HostApi.h"

constexpr size_t kLogMessageChars = 2048;

intptr_t hostLog(const HostApi* host, int32_t level, const wchar_t* moduleName, const wchar_t* format, ...);
intptr_t hostLogV(const HostApi* host, int32_t level, const wchar_t* moduleName, const wchar_t* format, va_list args);
