#pragma once
// One WSAStartup, paired with exactly one WSACleanup when the session ends.
class WinsockSession {
public:
    WinsockSession(); // RSS::NetException "Could not initialize WinSock"
    ~WinsockSession();
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};
