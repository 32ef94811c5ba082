#include "net/SspiHandles.h"

#include <schannel.h>

#include "base/RSSException.h"
#include "net/SspiLibrary.h"

TlsCredentials::TlsCredentials()
{
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    wchar_t package[] = UNISP_NAME_W;
    const SECURITY_STATUS status = sspi().AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr,
                                                                    &settings, nullptr, nullptr, &handle_, nullptr);
    if (status != SEC_E_OK)
        throw RSS::NetException(L"Secure connection failed", status);
}

TlsCredentials::~TlsCredentials()
{
    sspi().FreeCredentialsHandle(&handle_);
}

TlsContext::~TlsContext()
{
    if (started_)
        sspi().DeleteSecurityContext(&handle_);
}

PackageBuffer::~PackageBuffer()
{
    if (data_ != nullptr)
        sspi().FreeContextBuffer(data_);
}
