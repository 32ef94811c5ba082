#pragma once
// Sends and receives on a connected non-blocking socket. What can be done at
// once is done directly; otherwise an overlapped call stays pending in the
// system while we wait in short slices, so a time limit or a cancel can end
// it, and an error such as a reset arrives with its code.
#include <winsock2.h>

#include <cstdint>

#include "net/FetchControl.h"
#include "net/Stream.h"

class SocketIo : public Stream {
public:
    using Outcome = StreamResult::Outcome;
    using Result = StreamResult;

    SocketIo(SOCKET socket, const FetchControl& control); // RSS::NetException when no event can be made
    ~SocketIo() override;
    SocketIo(const SocketIo&) = delete;
    SocketIo& operator=(const SocketIo&) = delete;

    // `until` is a GetTickCount64() value; the buffer is ours again when these return.
    Result receive(char* buffer, DWORD size, uint64_t until) override;
    Result send(const char* data, DWORD size, uint64_t until) override;

private:
    Result transfer(bool sending, char* data, DWORD size, uint64_t until);
    Result complete(WSAOVERLAPPED& overlapped, uint64_t until);
    void abandon(WSAOVERLAPPED& overlapped);

    SOCKET socket_;
    const FetchControl& control_;
    WSAEVENT event_;
};
