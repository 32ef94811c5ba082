#pragma once
// Starts WinSock and listens on address:port (80 unless told) for the test servers.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <string>

// The socket address of a loopback address text, IPv4 or IPv6 ("::1"); its length.
int loopbackAddress(const std::string& address, uint16_t port, sockaddr_storage& out);

// Throws std::runtime_error when it cannot (ports below 1024 need root on Linux);
// on success the caller owns the socket and one WSAStartup.
SOCKET listenOn(const std::string& address, uint16_t port, int backlog = SOMAXCONN);
inline SOCKET listenOnPort80(const std::string& address)
{
    return listenOn(address, 80);
}

// A listener that never accepts and whose queue is already full: Linux drops
// every further SYN, so a connect to it never completes. A host that does not
// answer, made on loopback.
class FullAcceptQueue {
public:
    explicit FullAcceptQueue(const std::string& address, uint16_t port = 80);
    ~FullAcceptQueue();
    FullAcceptQueue(const FullAcceptQueue&) = delete;
    FullAcceptQueue& operator=(const FullAcceptQueue&) = delete;

private:
    SOCKET listener_;
    SOCKET filler_; // the one connection the queue holds
};
