#pragma once
// Each thread of the plug-in holds a reference to the library for as long as
// it runs, so a host that frees the library under a running worker does not
// unmap the code that worker is executing.
#include <windows.h>

namespace ModuleRef {

// Adds a reference to the library holding this code; null on failure. Taken
// by the creating thread, before CreateThread, and handed to the new thread.
HMODULE acquire();

// Gives back a reference whose thread could not be created.
void release(HMODULE module);

// Ends the calling thread and gives back its reference in one step, so no
// instruction of the library runs after the reference is gone.
[[noreturn]] void releaseAndExitThread(DWORD exitCode);

} // namespace ModuleRef
