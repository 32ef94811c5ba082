#include "net/HttpMessage.h"

#include "core/RSSException.h"

namespace HttpMessage {

std::string wireText(const std::wstring& text)
{
    // Byte for byte what the C locale's wcstombs gives, whatever locale the host sets.
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\0')
            break;
        if (static_cast<unsigned>(c) > 255)
            throw RSS::RSSException(L"Address has characters that cannot be sent");
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

std::string request(const std::string& host, const std::string& path)
{
    return "GET " + path + " HTTP/1.0\r\n" + "Host: " + host + "\r\n" + "Connection: close\r\n" +
           "Accept: text/xml\r\n" + "User-Agent: Mozilla/5.0\r\n" + "\r\n";
}

std::string body(std::string response)
{
    if (response.substr(9, 3) != "200")
        throw RSS::RSSException(L"HTTP response code diffrent than 200 received");
    const size_t headerEnd = response.find("\r\n\r\n");
    if (headerEnd == std::string::npos)
        throw RSS::RSSException(L"No HTTP data found");
    response.erase(0, headerEnd + 4);
    return response;
}

} // namespace HttpMessage
