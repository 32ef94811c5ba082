#include "net/SspiLibrary.h"

#include "base/RSSException.h"

namespace {

const SecurityFunctionTableW* loadTable()
{
    HMODULE library = LoadLibraryW(L"secur32.dll");
    if (library == nullptr)
        return nullptr;
    const auto init = reinterpret_cast<INIT_SECURITY_INTERFACE_W>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "InitSecurityInterfaceW")));
    return init != nullptr ? init() : nullptr;
}

} // namespace

const SecurityFunctionTableW& sspi()
{
    static const SecurityFunctionTableW* const table = loadTable(); // thread-safe once
    if (table == nullptr)
        throw RSS::NetException(L"Secure connection failed", static_cast<int32_t>(SEC_E_SECPKG_NOT_FOUND));
    return *table;
}
