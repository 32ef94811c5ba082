#pragma once
// The system's security package interface (secur32.dll), loaded on the first
// https fetch and kept for the life of the process. Not imported: Wine's
// secur32 starts WinSock when it loads and never cleans that start up, which
// would break the pairing of starts and cleanups in every plain-http process.
#include <winsock2.h>
#include <windows.h>
#define SECURITY_WIN32
#include <security.h>

// RSS::NetException "Secure connection failed" when the system has none.
const SecurityFunctionTableW& sspi();
