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

// The fixed HTTP/1.0 GET request for an 8-bit host and path.
std::string request(const std::string& host, const std::string& path);

// The status code: the (up to) 3 bytes at offset 9, empty for a shorter response.
std::string statusCode(const std::string& response);
// 301, 302, 303, 307 and 308: the answers whose Location is followed.
bool isRedirect(const std::string& status);
// The value of the first Location header of a complete header, blanks
// trimmed; none when there is no such header, it is empty, or the header has no end.
std::optional<std::string> location(const std::string& response);

// Checks the status code at offset 9 and returns what follows the header.
// RSS::RSSException "No HTTP data found" for a response shorter than 9 bytes too.
std::string body(std::string response);

// The body length a complete header (the response up to headerEnd, where its
// empty line starts) announces in Content-Length; none when absent or not a
// number. Only a size hint: the body is still whatever arrives.
std::optional<size_t> contentLength(const std::string& response, size_t headerEnd);

} // namespace HttpMessage
