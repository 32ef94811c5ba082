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

// Checks the status code at offset 9 and returns what follows the header.
// std::out_of_range for a response shorter than 9 bytes, RSS::RSSException otherwise.
std::string body(std::string response);

// The body length a complete header (the response up to headerEnd, where its
// empty line starts) announces in Content-Length; none when absent or not a
// number. Only a size hint: the body is still whatever arrives.
std::optional<size_t> contentLength(const std::string& response, size_t headerEnd);

} // namespace HttpMessage
