#pragma once
// One WSAStartup, paired with exactly one WSACleanup when the session ends.
#include "base/UniqueHandle.h"

class WinsockSession {
public:
    WinsockSession(); // RSS::NetException "Could not initialize WinSock"

private:
    UniqueWinsock started_;
};
