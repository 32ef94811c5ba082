#include "net/Connect.h"

#include <algorithm>
#include <optional>

#include "base/RSSException.h"

namespace {

constexpr uint64_t kSliceMs = 100; // how late a cancel may be seen
// fd_set holds 64 sockets; a host with more addresses is tried on its first.
constexpr size_t kMostAttempts = 16;

[[noreturn]] void failConnect(int code)
{
    throw RSS::NetException(L"Could not connect", code);
}

class Race {
public:
    Race(const std::vector<SocketAddress>& addresses, uint64_t until, const FetchControl& control)
        : addresses_(addresses), until_(until), control_(control)
    {
    }

    Socket run();

private:
    // Starts the next address's connect; a connect done at once is the winner.
    std::optional<Socket> startNext();
    // Waits for a pending connect to end, at most until `wakeAt`; the one that connected, if any.
    std::optional<Socket> awaitPending(uint64_t wakeAt);
    bool anyLeft() const { return next_ < std::min(addresses_.size(), kMostAttempts); }

    const std::vector<SocketAddress>& addresses_;
    uint64_t until_;
    const FetchControl& control_;
    std::vector<Socket> pending_;
    size_t next_ = 0;
    uint64_t nextStart_ = 0;
    int lastError_ = WSAHOST_NOT_FOUND;
};

Socket Race::run()
{
    for (;;) {
        control_.throwIfCancelled();
        const uint64_t now = GetTickCount64();
        if (anyLeft() && (pending_.empty() || now >= nextStart_)) {
            if (std::optional<Socket> won = startNext())
                return std::move(*won);
            continue;
        }
        if (pending_.empty())
            failConnect(lastError_); // every address refused
        const uint64_t wakeAt = std::min(anyLeft() ? nextStart_ : until_, until_);
        if (std::optional<Socket> won = awaitPending(wakeAt))
            return std::move(*won);
        if (GetTickCount64() >= until_)
            failConnect(WSAETIMEDOUT);
    }
}

std::optional<Socket> Race::startNext()
{
    const SocketAddress& address = addresses_[next_++];
    std::optional<Socket> made;
    try {
        made.emplace(address.family());
    } catch (const RSS::NetException& failure) { // no sockets of this family here (IPv6 switched off)
        lastError_ = failure.errorCode;
        nextStart_ = 0;
        return std::nullopt;
    }
    nextStart_ = GetTickCount64() + kNextAttemptMs;
    if (connect(made->handle(), reinterpret_cast<const sockaddr*>(&address.address), address.length) == 0)
        return made;
    const int started = WSAGetLastError();
    if (started == WSAEWOULDBLOCK) {
        pending_.push_back(std::move(*made));
    } else {
        lastError_ = started;
        nextStart_ = 0; // refused at once: the next one now
    }
    return std::nullopt;
}

std::optional<Socket> Race::awaitPending(uint64_t wakeAt)
{
    fd_set done;
    fd_set failed;
    FD_ZERO(&done);
    FD_ZERO(&failed);
    for (const Socket& socket : pending_) {
        FD_SET(socket.handle(), &done);
        FD_SET(socket.handle(), &failed);
    }
    const uint64_t now = GetTickCount64();
    const uint64_t waitMs = std::min(wakeAt > now ? wakeAt - now : 0, kSliceMs);
    timeval slice{0, static_cast<long>(waitMs * 1000)};
    const int ready = select(0, nullptr, &done, &failed, &slice);
    if (ready < 0)
        failConnect(WSAGetLastError());
    // A connect that is done is seen as done even when the time is up: the look comes first.
    for (auto it = pending_.begin(); ready > 0 && it != pending_.end();) {
        if (!FD_ISSET(it->handle(), &done) && !FD_ISSET(it->handle(), &failed)) {
            ++it;
            continue;
        }
        int error = 0;
        int length = sizeof error;
        if (getsockopt(it->handle(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
            error = WSAGetLastError();
        if (error == 0)
            return std::move(*it);
        lastError_ = error;
        nextStart_ = 0; // this one failed: the next one now
        it = pending_.erase(it);
    }
    return std::nullopt;
}

} // namespace

Socket connectToAny(const std::vector<SocketAddress>& addresses, uint64_t until, const FetchControl& control)
{
    return Race(addresses, until, control).run();
}
