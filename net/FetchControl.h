#pragma once
// Process-wide controls of every fetch: the limits in force and the cancel flag
// that cancelAll() raises for plug-in unload.
namespace FetchControl {
bool cancelled();
// RSS::NetException "Download cancelled" with WSAEINTR.
[[noreturn]] void failCancelled();
} // namespace FetchControl
