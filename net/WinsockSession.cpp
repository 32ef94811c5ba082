#include "net/WinsockSession.h"

#include "base/RSSException.h"

WinsockSession::WinsockSession()
{
    WSADATA data;
    // WSAStartup returns its error itself; the last-error value is not set yet.
    const int result = WSAStartup(MAKEWORD(2, 0), &data);
    if (result != 0)
        throw RSS::NetException(L"Could not initialize WinSock", result);
    started_.reset(true);
}
