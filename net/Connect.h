#pragma once
// Connects to a host by the first of its addresses that answers, racing them
// as Happy Eyeballs does (RFC 8305): the next address is tried when the ones
// before have failed or not connected within kNextAttemptMs, and the first
// connection made wins. Every wait ends by `until` (a GetTickCount64() value)
// or the fetch's cancel.
#include <cstdint>
#include <vector>

#include "net/FetchControl.h"
#include "net/NameLookup.h"
#include "net/Socket.h"

// RFC 8305's recommended delay: long enough for a working first address to
// win, short enough that an unreachable one (an IPv6 route that drops
// everything) costs the user nothing they notice.
constexpr uint64_t kNextAttemptMs = 250;

// RSS::NetException "Could not connect" with the last WinSock code
// (WSAETIMEDOUT when `until` passed first), or the cancel.
Socket connectToAny(const std::vector<SocketAddress>& addresses, uint64_t until, const FetchControl& control);
