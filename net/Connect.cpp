#include "net/Connect.h"

#include "base/RSSException.h"

namespace {

constexpr uint64_t kSliceUs = 100000; // how late a cancel may be seen

[[noreturn]] void failConnect(int code)
{
    throw RSS::NetException(L"Could not connect", code);
}

// Waits in slices until the pending connect has succeeded or failed, or
// `until` has passed (a server that never answers a SYN). A connect that is
// done is seen as done even when the time is up: the look comes first.
void awaitConnect(SOCKET socket, uint64_t until, const FetchControl& control)
{
    for (;;) {
        control.throwIfCancelled();
        const uint64_t now = GetTickCount64();
        const uint64_t leftUs = now < until ? (until - now) * 1000 : 0;
        fd_set done;
        fd_set failed;
        FD_ZERO(&done);
        FD_ZERO(&failed);
        FD_SET(socket, &done);
        FD_SET(socket, &failed);
        timeval slice{0, static_cast<long>(leftUs < kSliceUs ? leftUs : kSliceUs)};
        const int ready = select(0, nullptr, &done, &failed, &slice);
        if (ready < 0)
            failConnect(WSAGetLastError());
        if (ready > 0)
            return;
        if (GetTickCount64() >= until)
            failConnect(WSAETIMEDOUT);
    }
}

} // namespace

void connectTo(const Socket& socket, in_addr address, u_short port, uint64_t until, const FetchControl& control)
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr = address;
    if (connect(socket.handle(), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0)
        return;
    const int started = WSAGetLastError();
    if (started != WSAEWOULDBLOCK)
        failConnect(started);
    awaitConnect(socket.handle(), until, control);
    int error = 0;
    int length = sizeof error;
    if (getsockopt(socket.handle(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        error = WSAGetLastError();
    if (error != 0)
        failConnect(error);
}
