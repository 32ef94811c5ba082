#pragma once
// The check of a TLS server's certificate: a chain to one of the system's
// trusted roots, valid now, for server authentication, for this host name,
// and not revoked (revocation status unknown or offline passes, as in browsers).
#include "net/SspiLibrary.h"

#include <cstdint>
#include <string>

// RSS::NetException naming the reason, with the system's error code. What the
// chain needs is looked up in the system's cache first; a fetch over the
// network (an issuer, a revocation list) ends by `until`, a GetTickCount64() value.
void checkServerCertificate(CtxtHandle& context, const std::wstring& host, uint64_t until);
