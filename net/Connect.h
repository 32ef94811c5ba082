#pragma once
// Connects a socket to a port of an IPv4 address. The system's own connect
// limit applies; only a cancel of the fetch control cuts the wait short.
#include <winsock2.h>

#include "net/FetchControl.h"
#include "net/Socket.h"

// RSS::NetException "Could not connect" with the WinSock code, or the cancel.
void connectTo(const Socket& socket, in_addr address, u_short port, const FetchControl& control);
