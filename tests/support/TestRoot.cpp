#include "TestRoot.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

#include "TestPaths.h"

#ifndef QF_TLS_DIR
#define QF_TLS_DIR ""
#endif

namespace {

class SystemStore {
public:
    explicit SystemStore(const wchar_t* name)
        : store_(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, name))
    {
    }
    ~SystemStore()
    {
        if (store_ != nullptr)
            CertCloseStore(store_, 0);
    }
    SystemStore(const SystemStore&) = delete;
    SystemStore& operator=(const SystemStore&) = delete;
    HCERTSTORE get() const { return store_; }

private:
    HCERTSTORE store_;
};

} // namespace

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
    const SystemStore roots(L"ROOT");
    if (der.empty() || roots.get() == nullptr)
        return false;
    return CertAddEncodedCertificateToStore(roots.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                            static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING,
                                            nullptr) != FALSE;
}
