#include "net/NameLookup.h"

#include <cstring>
#include <memory>

#include "base/RSSException.h"
#include "net/DetachedCall.h"
#include "net/WinsockSession.h"

namespace {

// Shared by the fetch and the lookup thread.
struct Lookup {
    std::wstring host;
    uint16_t port = 0;
    std::vector<SocketAddress> found;
    int error = 0;
};

void resolve(Lookup& lookup)
{
    WinsockSession session; // the fetch's own may end before this lookup
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* list = nullptr;
    lookup.error = GetAddrInfoW(lookup.host.c_str(), nullptr, &hints, &list);
    if (lookup.error != 0)
        return;
    for (const ADDRINFOW* entry = list; entry != nullptr; entry = entry->ai_next) {
        if ((entry->ai_family != AF_INET && entry->ai_family != AF_INET6) ||
            entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        SocketAddress address;
        memcpy(&address.address, entry->ai_addr, entry->ai_addrlen);
        address.length = static_cast<int>(entry->ai_addrlen);
        // The port sits at the same place in both families' records.
        reinterpret_cast<sockaddr_in&>(address.address).sin_port = htons(lookup.port);
        lookup.found.push_back(address);
    }
    FreeAddrInfoW(list);
    if (lookup.found.empty())
        lookup.error = WSAHOST_NOT_FOUND;
}

} // namespace

std::vector<SocketAddress> lookUpHost(const std::string& host, uint16_t port, uint64_t until,
                                      const FetchControl& control)
{
    auto lookup = std::make_shared<Lookup>();
    lookup->host.assign(host.begin(), host.end()); // the host is printable ASCII
    lookup->port = port;
    const bool finished = callDetached(
        [lookup] {
            try {
                resolve(*lookup);
            } catch (...) {
                lookup->error = WSANOTINITIALISED;
            }
        },
        until, control);
    if (!finished)
        throw RSS::NetException(L"Could not resolve host name", WSAETIMEDOUT);
    if (lookup->error != 0)
        throw RSS::NetException(L"Could not resolve host name", lookup->error);
    return lookup->found;
}
