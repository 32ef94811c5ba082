#pragma once
// Sends and receives on a connected non-blocking socket. What can be done at
// once is done directly; otherwise an overlapped call stays pending in the
// system while we wait in short slices, so a time limit or cancelAll() can end
// it, and an error such as a reset arrives with its code.
#include <winsock2.h>

#include <cstdint>

class SocketIo {
public:
    enum class Outcome { Done, Failed, TimedOut, Cancelled };
    struct Result {
        Outcome outcome;
        DWORD bytes; // with Done; 0 from a receive: the server closed
        int error;   // with Failed: the WinSock code
    };

    explicit SocketIo(SOCKET socket); // RSS::NetException when no event can be made
    ~SocketIo();
    SocketIo(const SocketIo&) = delete;
    SocketIo& operator=(const SocketIo&) = delete;

    // `until` is a GetTickCount64() value; the buffer is ours again when these return.
    Result receive(char* buffer, DWORD size, uint64_t until);
    Result send(const char* data, DWORD size, uint64_t until);

private:
    Result transfer(bool sending, char* data, DWORD size, uint64_t until);
    Result complete(WSAOVERLAPPED& overlapped, uint64_t until);
    void abandon(WSAOVERLAPPED& overlapped);

    SOCKET socket_;
    WSAEVENT event_;
};
