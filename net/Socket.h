#pragma once
// Owns one non-blocking IPv4 TCP socket and closes it when it goes out of scope.
// Non-blocking, so no call can hold a fetch beyond its limits or cancelAll().
#include <winsock2.h>

class Socket {
public:
    Socket(); // RSS::NetException "Could not create socket"
    ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    SOCKET handle() const { return handle_; }

private:
    SOCKET handle_;
};
