#pragma once
// Owns one non-blocking IPv4 TCP socket and closes it when it goes out of scope.
// Non-blocking, so no call can hold a fetch beyond its limits or its cancel.
#include "base/UniqueHandle.h"

class Socket {
public:
    Socket(); // RSS::NetException "Could not create socket"

    SOCKET handle() const { return owned_.get(); }

private:
    UniqueSocket owned_;
};
