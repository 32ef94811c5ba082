#pragma once
// The leanest fetch WinSock allows, as a yardstick for our client under Wine:
// one blocking socket, the same request, no limits, no checks. Variants add
// what our client does per fetch, to show what each costs.
#include <cstddef>
#include <string>

// The number of bytes received from address:80 for the path; 0 on any failure.
struct PlainFetchStyle {
    int receiveBytes = 1 << 16;
    bool startupAndResolve = false; // WSAStartup, gethostbyname and WSACleanup around each fetch
};
size_t plainFetch(const std::string& address, const std::string& path, const PlainFetchStyle& style);
