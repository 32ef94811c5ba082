#include "TestRoot.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

#include "TestPaths.h"
#include "base/UniqueHandle.h"

#ifndef QF_TLS_DIR
#define QF_TLS_DIR ""
#endif

std::string tlsFolder()
{
    return QF_TLS_DIR;
}

bool trustTestRoot()
{
    std::string der;
    if (FILE* file = _wfopen(windowsPath((tlsFolder() + "/root.der").c_str()).c_str(), L"rb")) {
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, file)) > 0;)
            der.append(buffer, got);
        fclose(file);
    }
    const UniqueCertificateStore roots = openCurrentUserStore(L"ROOT");
    if (der.empty() || roots.get() == nullptr)
        return false;
    return CertAddEncodedCertificateToStore(roots.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                            static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING,
                                            nullptr) != FALSE;
}
