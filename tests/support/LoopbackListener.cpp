#include "LoopbackListener.h"

#include <ws2tcpip.h>

#include <stdexcept>

int loopbackAddress(const std::string& address, uint16_t port, sockaddr_storage& out)
{
    out = {};
    if (address.find(':') != std::string::npos) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(out);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        inet_pton(AF_INET6, address.c_str(), &v6.sin6_addr);
        return sizeof v6;
    }
    auto& v4 = reinterpret_cast<sockaddr_in&>(out);
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &v4.sin_addr);
    return sizeof v4;
}

SOCKET listenOn(const std::string& address, uint16_t port, int backlog)
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("WSAStartup failed");
    sockaddr_storage local;
    const int length = loopbackAddress(address, port, local);
    SOCKET listener = socket(local.ss_family, SOCK_STREAM, IPPROTO_TCP);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&local), length) != 0 ||
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
    : listener_(listenOn(address, port, 0)),
      filler_(socket(address.find(':') != std::string::npos ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP))
{
    sockaddr_storage target;
    const int length = loopbackAddress(address, port, target);
    // A backlog of 0 holds one connection; this blocking connect completes into it.
    if (filler_ == INVALID_SOCKET || connect(filler_, reinterpret_cast<sockaddr*>(&target), length) != 0) {
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
