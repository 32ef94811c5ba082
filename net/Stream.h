#pragma once
// What an exchange sends and receives through: the plain socket, or a TLS
// session over it. Every call ends by its `until` (a GetTickCount64() value)
// or a cancel at the latest, as SocketIo's do.
#include <winsock2.h>

#include <cstdint>

struct StreamResult {
    enum class Outcome { Done, Failed, TimedOut, Cancelled };
    Outcome outcome;
    DWORD bytes; // with Done; 0 from a receive: the server closed
    int error;   // with Failed: the WinSock code
};

class Stream {
public:
    virtual ~Stream() = default;
    virtual StreamResult receive(char* buffer, DWORD size, uint64_t until) = 0;
    virtual StreamResult send(const char* data, DWORD size, uint64_t until) = 0;
    // After a receive gave 0 bytes: whether the peer said it was done (a TLS
    // close_notify) rather than the connection being cut, which a plain
    // socket cannot tell apart.
    virtual bool closedCleanly() const { return true; }
};
