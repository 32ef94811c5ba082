// Before any header reaches wincrypt.h: CERT_CHAIN_PARA then has dwUrlRetrievalTimeout.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include "net/ServerCertificate.h"

#include <schannel.h>
#include <wincrypt.h>

#include <algorithm>

#include "base/RSSException.h"
#include "base/UniqueHandle.h"
#include "net/CertificateHostName.h"
#include "net/SspiLibrary.h"

namespace {

// What a chain may carry and still be trusted: revocation could not be looked up.
constexpr DWORD kTolerated = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
// Longest wait for issuers and revocation lists, all retrievals together.
constexpr DWORD kRevocationWaitMs = 5000;
constexpr DWORD kCacheOnly = CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL | CERT_CHAIN_REVOCATION_CHECK_CACHE_ONLY;

[[noreturn]] void refuse(const wchar_t* reason, HRESULT code)
{
    throw RSS::NetException(reason, static_cast<int32_t>(code));
}

[[noreturn]] void refuseFor(HRESULT code)
{
    switch (code) {
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_CHAINING:
    case CERT_E_UNTRUSTEDTESTROOT:
        refuse(L"Certificate not trusted: unknown or untrusted issuer", code);
    case CERT_E_EXPIRED:
        refuse(L"Certificate expired or not yet valid", code);
    case CERT_E_CN_NO_MATCH:
        refuse(L"Certificate issued for another host name", code);
    case CRYPT_E_REVOKED:
        refuse(L"Certificate revoked", code);
    case CERT_E_WRONG_USAGE:
        refuse(L"Certificate not valid for a web server", code);
    default:
        refuse(L"Certificate refused", code);
    }
}

// The chain's own verdict, read from its bits: Wine's SSL policy lets an
// unknown issuer (a partial chain) through, Windows' does not.
void checkTrustBits(DWORD errors)
{
    errors &= ~kTolerated;
    if (errors == 0)
        return;
    if (errors & CERT_TRUST_IS_REVOKED)
        refuseFor(CRYPT_E_REVOKED);
    if (errors & CERT_TRUST_IS_NOT_TIME_VALID)
        refuseFor(CERT_E_EXPIRED);
    if (errors & CERT_TRUST_IS_PARTIAL_CHAIN)
        refuseFor(CERT_E_CHAINING);
    if (errors & CERT_TRUST_IS_UNTRUSTED_ROOT)
        refuseFor(CERT_E_UNTRUSTEDROOT);
    if (errors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE)
        refuseFor(CERT_E_WRONG_USAGE);
    refuseFor(TRUST_E_FAIL);
}

void buildChain(PCCERT_CONTEXT certificate, DWORD flags, DWORD retrievalMs, UniqueCertificateChain& chain)
{
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    char* usages[] = {serverAuth};
    CERT_CHAIN_PARA request{};
    request.cbSize = sizeof request;
    request.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    request.RequestedUsage.Usage.cUsageIdentifier = 1;
    request.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    request.dwUrlRetrievalTimeout = retrievalMs;
    if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &request,
                                 CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT | flags, nullptr, chain.put()))
        refuseFor(HRESULT_FROM_WIN32(GetLastError()));
}

// What only a fetch over the network could settle: a missing issuer, an
// unknown revocation.
bool wantsRetrieval(DWORD errors)
{
    return (errors & (CERT_TRUST_IS_PARTIAL_CHAIN | kTolerated)) != 0;
}

// From the system's cache first; only what it cannot settle goes out over the
// network, in one budget for every retrieval that ends by `until`.
void buildChainBy(PCCERT_CONTEXT certificate, uint64_t until, UniqueCertificateChain& chain)
{
    buildChain(certificate, kCacheOnly, 0, chain);
    const uint64_t now = GetTickCount64();
    if (!wantsRetrieval(chain.get()->TrustStatus.dwErrorStatus) || now >= until)
        return;
    const DWORD budget = static_cast<DWORD>(std::min<uint64_t>(kRevocationWaitMs, until - now));
    buildChain(certificate, CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT, budget, chain);
}

// Wine's SSL policy reports a revocation it could not look up although told to
// ignore that; a revoked certificate is refused from the chain's bits already.
bool revocationUnknown(HRESULT code)
{
    return code == CERT_E_REVOCATION_FAILURE || code == CRYPT_E_NO_REVOCATION_CHECK ||
           code == CRYPT_E_REVOCATION_OFFLINE;
}

void checkSslPolicy(PCCERT_CHAIN_CONTEXT chain, const std::wstring& host)
{
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = const_cast<wchar_t*>(host.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status))
        refuseFor(HRESULT_FROM_WIN32(GetLastError()));
    if (status.dwError != 0 && !revocationUnknown(static_cast<HRESULT>(status.dwError)))
        refuseFor(static_cast<HRESULT>(status.dwError));
}

} // namespace

void checkServerCertificate(CtxtHandle& context, const std::wstring& host, uint64_t until)
{
    PCCERT_CONTEXT received = nullptr;
    if (sspi().QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &received) != SEC_E_OK ||
        received == nullptr)
        refuse(L"Certificate missing", SEC_E_NO_CREDENTIALS);
    const UniqueCertificate certificate(received);
    UniqueCertificateChain chain;
    buildChainBy(certificate.get(), until, chain);
    checkTrustBits(chain.get()->TrustStatus.dwErrorStatus);
    checkSslPolicy(chain.get(), host);
    if (!certificateNamesHost(certificate.get(), host))
        refuseFor(CERT_E_CN_NO_MATCH);
}
