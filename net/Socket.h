#pragma once
// Owns one non-blocking TCP socket (IPv4 or IPv6) and closes it when it goes out of scope.
// Non-blocking, so no call can hold a fetch beyond its limits or its cancel.
#include <winsock2.h>

#include "base/UniqueHandle.h"

class Socket {
public:
    explicit Socket(int family); // RSS::NetException "Could not create socket"

    SOCKET handle() const { return owned_.get(); }

private:
    UniqueSocket owned_;
};
