#pragma once
// The proxy the current user's settings name for an address, found the way
// Windows finds it (manual settings with their bypass list, an automatic
// configuration script, auto-detection) through WinHTTP. Only the finding is
// the system's: the exchange through the proxy stays our own.
#include <cstdint>
#include <optional>

#include "net/FetchControl.h"
#include "net/ProxyList.h"
#include "net/Url.h"

// nullopt: connect directly. A script or auto-detection is asked on a thread
// of its own and waited for until `until` (a GetTickCount64() value: one
// call's limit); what it answers for a scheme and host is kept for minutes,
// also when it answers after the wait. When it fails or is not done in time,
// the manual settings hold, as in the system's own clients.
std::optional<ProxyServer> systemProxyFor(const Url& url, uint64_t until, const FetchControl& control);
