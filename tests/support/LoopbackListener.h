#pragma once
// Starts WinSock and listens on address:port (80 unless told) for the test servers.
#include <winsock2.h>

#include <cstdint>
#include <string>

// Throws std::runtime_error when it cannot (ports below 1024 need root on Linux);
// on success the caller owns the socket and one WSAStartup.
SOCKET listenOn(const std::string& address, uint16_t port);
inline SOCKET listenOnPort80(const std::string& address)
{
    return listenOn(address, 80);
}
