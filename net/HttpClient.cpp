#include "net/HttpClient.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>

#include "core/RSSException.h"
#include "net/Connect.h"
#include "net/HttpClientControl.h"
#include "net/HttpMessage.h"
#include "net/Socket.h"
#include "net/SocketIo.h"
#include "net/WinsockSession.h"

namespace {

constexpr DWORD kBufferSize = 4096;
constexpr size_t kLargestSend = 1 << 20;

[[noreturn]] void fail(const wchar_t* message, int code)
{
    throw RSS::NetException(message, code);
}

in_addr resolve(const std::string& host)
{
    const hostent* entry = gethostbyname(host.c_str());
    if (entry == nullptr || entry->h_addr_list[0] == nullptr)
        fail(L"Could not resolve host name", WSAGetLastError());
    if (entry->h_addrtype != AF_INET || entry->h_length != sizeof(in_addr))
        fail(L"Received host adress is not in IPv4 format", WSAGetLastError());
    in_addr address;
    memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

// Sends and receives of one connected exchange, each within the time limits:
// one for every single call, one for the whole exchange.
class Exchange {
public:
    Exchange(const Socket& socket, const FetchLimits& limits)
        : io_(socket.handle()), limits_(limits), deadline_(GetTickCount64() + limits.deadlineMs)
    {
    }

    // A partial send is continued until the whole request is out.
    void sendAll(const std::string& request)
    {
        for (size_t done = 0; done < request.size();) {
            const DWORD piece = static_cast<DWORD>(std::min(request.size() - done, kLargestSend));
            const DWORD sent = transferred(io_.send(request.data() + done, piece, callEnd()), L"Send failed");
            if (sent == 0)
                fail(L"Send failed", WSAGetLastError());
            done += sent;
        }
    }

    // Reads until the server closes; a NUL byte ends what its chunk contributes.
    std::string receiveAll()
    {
        std::string response;
        char buffer[kBufferSize];
        size_t received = 0;
        bool sized = false;
        for (;;) {
            const DWORD got = transferred(io_.receive(buffer, kBufferSize - 1, callEnd()), L"Receive failed");
            if (got == 0)
                return response;
            received += got;
            if (received > limits_.maxResponseBytes)
                throw RSS::RSSException(L"Response too large");
            buffer[got] = '\0';
            const size_t before = response.size();
            response.append(buffer, strlen(buffer));
            if (!sized)
                sized = reserveAnnounced(response, before);
        }
    }

private:
    // Once the header is complete, makes room at once for the whole response
    // its Content-Length announces, within the cap, rather than growing by
    // doubling; true when there is nothing more to look for.
    bool reserveAnnounced(std::string& response, size_t searchedUpTo) const
    {
        const size_t headerEnd = response.find("\r\n\r\n", searchedUpTo < 3 ? 0 : searchedUpTo - 3);
        if (headerEnd == std::string::npos)
            return false;
        if (const auto length = HttpMessage::contentLength(response, headerEnd))
            response.reserve(std::min(headerEnd + 4 + std::min(*length, limits_.maxResponseBytes),
                                      limits_.maxResponseBytes));
        return true;
    }

    uint64_t callEnd() const { return std::min(GetTickCount64() + limits_.ioTimeoutMs, deadline_); }

    // The byte count of a finished call; every other ending becomes its exception.
    DWORD transferred(const SocketIo::Result& result, const wchar_t* failure) const
    {
        switch (result.outcome) {
        case SocketIo::Outcome::Done:
            return result.bytes;
        case SocketIo::Outcome::Failed:
            fail(failure, result.error);
        case SocketIo::Outcome::Cancelled:
            HttpClientControl::failCancelled();
        case SocketIo::Outcome::TimedOut:
            break;
        }
        if (GetTickCount64() >= deadline_)
            fail(L"Download took too long", WSAETIMEDOUT);
        fail(failure, WSAETIMEDOUT);
    }

    SocketIo io_;
    FetchLimits limits_;
    uint64_t deadline_;
};

// WinSock is started and the socket opened for this exchange only; both are
// released on every path, the socket first.
std::string exchange(const std::string& host, const std::string& path, const HttpValidators& known,
                     const FetchLimits& limits)
{
    WinsockSession session;
    Socket socket;
    connectTo(socket, resolve(host));
    Exchange exchange(socket, limits);
    exchange.sendAll(HttpMessage::conditional(HttpMessage::request(host, path), known));
    return exchange.receiveAll();
}

} // namespace

namespace HttpClient {

std::string fetch(Url url)
{
    return fetch(std::move(url), HttpValidators{}).body;
}

HttpAnswer fetch(Url url, const HttpValidators& known)
{
    const std::string host = HttpMessage::wireText(url.host);
    const std::string path = HttpMessage::wireText(url.path);
    if (HttpClientControl::cancelled())
        HttpClientControl::failCancelled();
    return HttpMessage::answer(exchange(host, path, known, limits()), !known.empty());
}

} // namespace HttpClient
