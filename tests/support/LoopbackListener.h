#pragma once
// Starts WinSock and listens on address:80 for the test servers.
#include <winsock2.h>

#include <string>

// Throws std::runtime_error when it cannot (binding port 80 needs root on Linux);
// on success the caller owns the socket and one WSAStartup.
SOCKET listenOnPort80(const std::string& address);
