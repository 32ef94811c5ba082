#pragma once
// Each thread of the plug-in holds a reference to the library for as long as
// it runs, so a host that frees the library under a running thread does not
// unmap the code that thread is executing.
#include <windows.h>

namespace ModuleRef {

inline HMODULE moduleOfThisCode(DWORD extraFlags)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | extraFlags,
                            reinterpret_cast<LPCWSTR>(&moduleOfThisCode), &module))
        return nullptr;
    return module;
}

// Adds a reference to the library holding this code; null on failure. Taken
// by the creating thread, before CreateThread, and handed to the new thread.
inline HMODULE acquire()
{
    return moduleOfThisCode(0);
}

// Gives back a reference whose thread could not be created.
inline void release(HMODULE module)
{
    if (module != nullptr)
        FreeLibrary(module);
}

// Ends the calling thread and gives back its reference in one step, so no
// instruction of the library runs after the reference is gone.
[[noreturn]] inline void releaseAndExitThread(DWORD exitCode)
{
    FreeLibraryAndExitThread(moduleOfThisCode(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT), exitCode);
}

} // namespace ModuleRef
