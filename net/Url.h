#pragma once
// A feed address split into scheme, host, port and the path to request.
#include <cstdint>
#include <string>

struct Url {
    enum class Scheme { Http, Https };

    std::wstring host; // an IPv6 literal without its brackets
    std::wstring path;
    Scheme scheme = Scheme::Http;
    uint16_t port = 80;
    // "user:password" of an address written with "user:password@" before its
    // host, as written (percent-encoded); empty when none. Never in text().
    std::wstring userInfo = {};

    // Accepts http://, https:// and feed: (feed://, feed:http://, feed:https://)
    // in any case after leading blanks, or no scheme at all (http). No path
    // gives "/". The host may be an IPv6 literal in brackets, and may follow
    // "user:password@". RSS::RSSException for another scheme or a bad port;
    // std::out_of_range for what is no address: blanks only, or words with
    // neither a scheme nor a '/' (a feed list's stray text, silent as ever).
    static Url parse(const wchar_t* address);

    static uint16_t defaultPort(Scheme scheme) { return scheme == Scheme::Https ? 443 : 80; }
    bool hasDefaultPort() const { return port == defaultPort(scheme); }
    // The host as the Host header names it: with the port when not the
    // default, an IPv6 literal in brackets.
    std::wstring authority() const;
    // scheme://authority/path, the base a relative redirect resolves against.
    std::wstring text() const;
    // scheme://authority, the host in lower case: what a server's validators belong to.
    std::wstring origin() const;
};

// The address as the user may be shown it: any "user:password@" before its
// host taken out. Everything else stays as written.
std::wstring withoutCredentials(const std::wstring& address);
