#include "net/Socket.h"

#include "base/RSSException.h"

Socket::Socket(int family) : owned_(socket(family, SOCK_STREAM, IPPROTO_TCP))
{
    if (!owned_)
        throw RSS::NetException(L"Could not create socket", WSAGetLastError());
    u_long nonBlocking = 1;
    if (ioctlsocket(owned_.get(), FIONBIO, &nonBlocking) != 0)
        throw RSS::NetException(L"Could not create socket", WSAGetLastError());
}
