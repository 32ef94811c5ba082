#pragma once
// Whether a server certificate names the host: its subject alternative names
// (an address literal against the IP entries; a name against the DNS entries,
// a wildcard standing for the whole left-most label), or, when it has no DNS
// entries, its subject's common name. Checked by us as well as by the system's
// SSL policy: Wine 8's accepts a certificate for another host.
#include <windows.h>
#include <wincrypt.h>

#include <string>

bool certificateNamesHost(PCCERT_CONTEXT certificate, const std::wstring& host);
