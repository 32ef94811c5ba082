#pragma once
// The system's proxy settings as text: the proxy list and the bypass list
// in the forms Windows writes them. Portable: no system calls here.
#include <cstdint>
#include <optional>
#include <string>

struct ProxyServer {
    std::string host;  // printable ASCII; an IPv6 literal without brackets
    uint16_t port = 80; // the system's own default for a proxy without one
    // "host:port", as warnings name it.
    std::wstring name() const;
};

// The proxy a list names for an address of that scheme: entries "host:port"
// (for every scheme) or "http=host:port" / "https=host:port", separated by
// ';' or blanks; the first that applies. nullopt when none applies or the
// entry is no host and port.
std::optional<ProxyServer> proxyFromList(const std::wstring& list, bool https);

// Whether a bypass list ("<local>; *.example.org; 10.*", ';', ',' or blanks
// between entries, '*' matching any run of characters) exempts the host:
// "<local>" stands for every name without a dot.
bool bypassesProxy(const std::wstring& bypassList, const std::wstring& host);
