#pragma once
// Connects a socket to a port of an IPv4 address, by `until` (a
// GetTickCount64() value) at the latest; a cancel of the fetch control cuts
// the wait short.
#include <winsock2.h>

#include <cstdint>

#include "net/FetchControl.h"
#include "net/Socket.h"

// RSS::NetException "Could not connect" with the WinSock code (WSAETIMEDOUT
// when `until` passed first), or the cancel.
void connectTo(const Socket& socket, in_addr address, u_short port, uint64_t until, const FetchControl& control);
