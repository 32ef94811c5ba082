#include "LoopbackListener.h"

#include <ws2tcpip.h>

#include <stdexcept>

SOCKET listenOn(const std::string& address, uint16_t port, int backlog)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("WSAStartup failed");
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(listener, backlog) != 0) {
        const int error = WSAGetLastError();
        if (listener != INVALID_SOCKET)
            closesocket(listener);
        WSACleanup();
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) + " (root needed), error " +
                                 std::to_string(error));
    }
    return listener;
}

FullAcceptQueue::FullAcceptQueue(const std::string& address, uint16_t port)
    : listener_(listenOn(address, port, 0)), filler_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP))
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &target.sin_addr);
    // A backlog of 0 holds one connection; this blocking connect completes into it.
    if (filler_ == INVALID_SOCKET || connect(filler_, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        this->~FullAcceptQueue(); // no destructor runs for a constructor that throws
        throw std::runtime_error("cannot fill the accept queue of " + address);
    }
}

FullAcceptQueue::~FullAcceptQueue()
{
    if (filler_ != INVALID_SOCKET)
        closesocket(filler_);
    closesocket(listener_);
    WSACleanup();
}
