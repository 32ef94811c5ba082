#include "net/SocketIo.h"

#include <windows.h>

#include <algorithm>

#include "base/RSSException.h"

namespace {

constexpr uint64_t kSliceMs = 100; // how late a cancel may be seen

} // namespace

SocketIo::SocketIo(SOCKET socket, const FetchControl& control)
    : socket_(socket), control_(control), event_(WSACreateEvent())
{
    if (event_ == WSA_INVALID_EVENT)
        throw RSS::NetException(L"Could not create socket", WSAGetLastError());
}

SocketIo::~SocketIo()
{
    WSACloseEvent(event_);
}

SocketIo::Result SocketIo::receive(char* buffer, DWORD size, uint64_t until)
{
    return transfer(false, buffer, size, until);
}

SocketIo::Result SocketIo::send(const char* data, DWORD size, uint64_t until)
{
    return transfer(true, const_cast<char*>(data), size, until); // WSABUF is shared with receiving; not written
}

SocketIo::Result SocketIo::transfer(bool sending, char* data, DWORD size, uint64_t until)
{
    if (control_.cancelled())
        return {Outcome::Cancelled, 0, 0};
    if (GetTickCount64() >= until)
        return {Outcome::TimedOut, 0, 0};
    const int direct =
        sending ? ::send(socket_, data, static_cast<int>(size), 0) : ::recv(socket_, data, static_cast<int>(size), 0);
    if (direct >= 0)
        return {Outcome::Done, static_cast<DWORD>(direct), 0};
    int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK)
        return {Outcome::Failed, 0, error};
    WSAOVERLAPPED overlapped{};
    overlapped.hEvent = event_;
    WSAResetEvent(event_);
    WSABUF piece{size, data};
    DWORD flags = 0;
    const int started = sending ? WSASend(socket_, &piece, 1, nullptr, 0, &overlapped, nullptr)
                                : WSARecv(socket_, &piece, 1, nullptr, &flags, &overlapped, nullptr);
    if (started != 0 && (error = WSAGetLastError()) != WSA_IO_PENDING)
        return {Outcome::Failed, 0, error};
    return complete(overlapped, until);
}

SocketIo::Result SocketIo::complete(WSAOVERLAPPED& overlapped, uint64_t until)
{
    for (;;) {
        const uint64_t now = GetTickCount64();
        const bool cancelled = control_.cancelled();
        if (cancelled || now >= until) {
            abandon(overlapped);
            return {cancelled ? Outcome::Cancelled : Outcome::TimedOut, 0, 0};
        }
        const DWORD slice = static_cast<DWORD>(std::min(kSliceMs, until - now));
        const DWORD waited = WSAWaitForMultipleEvents(1, &event_, FALSE, slice, FALSE);
        if (waited == WSA_WAIT_EVENT_0)
            break;
        if (waited == WSA_WAIT_FAILED) {
            const int error = WSAGetLastError();
            abandon(overlapped);
            return {Outcome::Failed, 0, error};
        }
    }
    DWORD bytes = 0;
    DWORD flags = 0;
    if (!WSAGetOverlappedResult(socket_, &overlapped, &bytes, FALSE, &flags))
        return {Outcome::Failed, 0, WSAGetLastError()};
    return {Outcome::Done, bytes, 0};
}

// Cancels the pending call and waits until the system has let go of the buffer.
void SocketIo::abandon(WSAOVERLAPPED& overlapped)
{
    CancelIoEx(reinterpret_cast<HANDLE>(socket_), &overlapped);
    DWORD bytes = 0;
    DWORD flags = 0;
    WSAGetOverlappedResult(socket_, &overlapped, &bytes, TRUE, &flags);
}
