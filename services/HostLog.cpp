#include "services/HostLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "host/HostProtocol.h"

namespace {
std::atomic<const HostApi*> g_logHost{nullptr};
}

void setLogHost(const HostApi* host)
{
    g_logHost.store(host);
}

const HostApi* logHost()
{
    return g_logHost.load();
}

intptr_t hostLog(const HostApi* host, int32_t level, const wchar_t* moduleName, const wchar_t* format, ...)
{
    wchar_t message[kLogMessageChars] = {};
    va_list args;
    va_start(args, format);
    // One short of the buffer: a cut message still ends with the NUL left in place.
    _vsnwprintf(message, kLogMessageChars - 1, format, args);
    va_end(args);

    LogRecord record;
    record.level = level;
    record.moduleName = moduleName;
    record.message = message;
    return callHost(host, Service::kLog, reinterpret_cast<intptr_t>(&record), 0);
}
