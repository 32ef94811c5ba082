#include "engine/ModuleRef.h"

namespace {

HMODULE moduleOfThisCode(DWORD extraFlags)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | extraFlags,
                            reinterpret_cast<LPCWSTR>(&moduleOfThisCode), &module))
        return nullptr;
    return module;
}

} // namespace

namespace ModuleRef {

HMODULE acquire()
{
    return moduleOfThisCode(0);
}

void release(HMODULE module)
{
    if (module != nullptr)
        FreeLibrary(module);
}

void releaseAndExitThread(DWORD exitCode)
{
    FreeLibraryAndExitThread(moduleOfThisCode(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT), exitCode);
}

} // namespace ModuleRef
