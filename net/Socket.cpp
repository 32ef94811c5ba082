#include "net/Socket.h"

#include "errors/RSSException.h"

Socket::Socket() : handle_(socket(AF_INET, SOCK_STREAM, 0))
{
    if (handle_ == INVALID_SOCKET)
        throw RSS::NetException(L"Could not create socket", WSAGetLastError());
    u_long nonBlocking = 1;
    if (ioctlsocket(handle_, FIONBIO, &nonBlocking) != 0) {
        const int error = WSAGetLastError();
        closesocket(handle_);
        throw RSS::NetException(L"Could not create socket", error);
    }
}

Socket::~Socket()
{
    closesocket(handle_);
}
