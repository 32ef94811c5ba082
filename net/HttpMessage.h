#pragma once
// The 8-bit texts of one exchange: address conversion, the request, the body cut.
// Portable: no sockets here.
#include <cstddef>
#include <optional>
#include <string>

namespace HttpMessage {

// Characters 0 to 255 become the byte of the same value, up to the first NUL.
// A character above 255 cannot go on the wire: RSS::RSSException.
std::string wireText(const std::wstring& text);

// The GET request for an authority (host, and port when not the scheme's
// own) and a request target (requestTarget), in the form current servers
// expect: HTTP/1.1, the feed types accepted first, compressed answers asked for.
std::string request(const std::string& authority, const std::string& target);
// The request with one more header line ("Name: value", no CR LF) before
// its empty line.
std::string withHeader(std::string request, const std::string& line);
// The Authorization value for "user:password" as an address writes it: each
// part percent-decoded, joined by one colon, as UTF-8, in base64 ("Basic ...").
std::string basicCredentials(const std::wstring& userInfo);
// What the request line may carry of an address's path: the fragment
// dropped, the rest as UTF-8 with every byte outside printable ASCII, and
// every space, percent-encoded. No byte of it can end the line.
std::string requestTarget(const std::wstring& path);
// The value a Location header gives, as an address: RSS::RSSException
// "Redirect to an invalid address" when it holds a control byte (a bare CR
// or LF, a NUL, a TAB), which could never be a request's; read as UTF-8, or
// byte for byte when it is not.
std::wstring locationAddress(const std::string& value);

// The status code: the (up to) 3 bytes at offset 9, empty for a shorter response.
std::string statusCode(const std::string& response);
// 301, 302, 303, 307 and 308: the answers whose Location is followed.
bool isRedirect(const std::string& status);
// The value of the first Location header of a complete header, blanks
// trimmed; none when there is no such header, it is empty, or the header has no end.
std::optional<std::string> location(const std::string& response);

// Checks that a head is a whole one with status 200: RSS::RSSException
// "HTTP response code diffrent than 200 received" or "No HTTP data found"
// (also for a head shorter than a status code).
void checkHead(const std::string& head);

} // namespace HttpMessage
