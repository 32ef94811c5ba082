#pragma once
// The name lookup of a fetch, bounded by the fetch's own time. The system's
// lookup can neither be given a time limit nor cancelled, so it runs on a
// thread of its own; when the time is up or the load is cancelled first, the
// fetch goes on without it, and the thread ends by itself later, holding only
// its own state and a reference to the library.
#include <winsock2.h>

#include <cstdint>
#include <string>

#include "net/FetchControl.h"

// The host's first IPv4 address. RSS::NetException "Could not resolve host
// name" (with WSAETIMEDOUT when `until`, a GetTickCount64() value, passed
// first), "Received host adress is not in IPv4 format", or the cancel.
in_addr lookUpHost(const std::string& host, uint64_t until, const FetchControl& control);
