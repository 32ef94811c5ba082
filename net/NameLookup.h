#pragma once
// The name lookup of a fetch, bounded by the fetch's own time: the system's
// lookup can neither be given a time limit nor cancelled, so it runs detached
// (net/DetachedCall.h).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <string>
#include <vector>

#include "net/FetchControl.h"

struct SocketAddress {
    sockaddr_storage address{};
    int length = 0;
    int family() const { return address.ss_family; }
};

// The host's addresses, IPv6 and IPv4, in the order the system gives them,
// each with `port`; an address literal is its own. RSS::NetException "Could
// not resolve host name" (with WSAETIMEDOUT when `until`, a GetTickCount64()
// value, passed first), or the cancel.
std::vector<SocketAddress> lookUpHost(const std::string& host, uint16_t port, uint64_t until,
                                      const FetchControl& control);
