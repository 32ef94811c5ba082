#include "services/HostLog.h"

#include <cstdio>
#include <cwchar>

#include "host/HostProtocol.h"

intptr_t hostLog(const HostApi* host, int32_t level, const wchar_t* moduleName, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const intptr_t result = hostLogV(host, level, moduleName, format, args);
    va_end(args);
    return result;
}

intptr_t hostLogV(const HostApi* host, int32_t level, const wchar_t* moduleName, const wchar_t* format, va_list args)
{
    wchar_t message[kLogMessageChars] = {};
    // One short of the buffer: a cut message still ends with the NUL left in place.
    _vsnwprintf(message, kLogMessageChars - 1, format, args);

    LogRecord record;
    record.level = level;
    record.moduleName = moduleName;
    record.message = message;
    return callHost(host, Service::kLog, reinterpret_cast<intptr_t>(&record), 0);
}
