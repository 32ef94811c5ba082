#pragma once
// HttpClient's process-wide controls. HttpClient.h declares the public half
// (limits, setLimits, cancelAll, resumeAll), defined in HttpClientControl.cpp
// beside the state they share; this is the half the fetch code checks: the
// cancel flag that cancelAll() raises for plug-in unload.
namespace HttpClientControl {
bool cancelled();
// RSS::NetException "Download cancelled" with WSAEINTR.
[[noreturn]] void failCancelled();
} // namespace HttpClientControl
