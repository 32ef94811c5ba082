#include "PlainFetch.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <vector>

namespace {

size_t fetchOnce(const std::string& address, const std::string& path, int receiveBytes)
{
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return 0;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(80);
    if (const hostent* entry = gethostbyname(address.c_str()))
        memcpy(&target.sin_addr, entry->h_addr_list[0], sizeof target.sin_addr);
    const std::string request = "GET " + path + " HTTP/1.0\r\nHost: " + address +
                                "\r\nConnection: close\r\nAccept: text/xml\r\nUser-Agent: Mozilla/5.0\r\n\r\n";
    size_t received = 0;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0 &&
        send(socket, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size())) {
        std::vector<char> buffer(static_cast<size_t>(receiveBytes));
        for (int got; (got = recv(socket, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0;)
            received += static_cast<size_t>(got);
    }
    closesocket(socket);
    return received;
}

} // namespace

size_t plainFetch(const std::string& address, const std::string& path, const PlainFetchStyle& style)
{
    if (!style.startupAndResolve)
        return fetchOnce(address, path, style.receiveBytes);
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0)
        return 0;
    const size_t received = fetchOnce(address, path, style.receiveBytes);
    WSACleanup();
    return received;
}
