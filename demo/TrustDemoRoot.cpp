// trust-demo-root ROOT.der: adds the demo's test root to the current user's
// "ROOT" store, so the demo's https sample server is trusted. Under Wine this
// is the prefix's own store; on Windows the system would ask the user first,
// which is why only the demo runs it, in a prefix of its own.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "base/UniqueHandle.h"

namespace {

std::string fileBytes(const wchar_t* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fputs("usage: trust-demo-root ROOT.der\n", stderr);
        return 1;
    }
    const std::string der = fileBytes(argv[1]);
    if (der.empty()) {
        fwprintf(stderr, L"trust-demo-root: cannot read %ls\n", argv[1]);
        return 2;
    }
    const UniqueCertificateStore roots = openCurrentUserStore(L"ROOT");
    // An existing copy is kept: Wine 8 neither replaces nor removes a root.
    if (roots.get() == nullptr ||
        !CertAddEncodedCertificateToStore(roots.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                          static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING, nullptr)) {
        fprintf(stderr, "trust-demo-root: the root store refused the certificate, error 0x%08lX\n", GetLastError());
        return 3;
    }
    return 0;
}
