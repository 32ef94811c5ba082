#pragma once
// The cancel flag every fetch checks, raised by HttpClient::cancelAll() for
// plug-in unload. The limits in force are HttpClient::limits().
namespace FetchControl {
bool cancelled();
// RSS::NetException "Download cancelled" with WSAEINTR.
[[noreturn]] void failCancelled();
} // namespace FetchControl
