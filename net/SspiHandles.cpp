#include "net/SspiHandles.h"

#include <schannel.h>

#include "core/RSSException.h"

TlsCredentials::TlsCredentials()
{
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    wchar_t package[] = UNISP_NAME_W;
    const SECURITY_STATUS status = AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings,
                                                             nullptr, nullptr, &handle_, nullptr);
    if (status != SEC_E_OK)
        throw RSS::NetException(L"Secure connection failed", status);
}

TlsCredentials::~TlsCredentials()
{
    FreeCredentialsHandle(&handle_);
}

TlsContext::~TlsContext()
{
    if (started_)
        DeleteSecurityContext(&handle_);
}

PackageBuffer::~PackageBuffer()
{
    if (data_ != nullptr)
        FreeContextBuffer(data_);
}
