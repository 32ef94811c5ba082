#include "net/CertificateHostName.h"

#include <cwctype>
#include <optional>
#include <vector>

namespace {

std::wstring lowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The four bytes of a dotted IPv4 literal, or none for a name.
std::optional<std::vector<BYTE>> ipv4Bytes(const std::wstring& host)
{
    std::vector<BYTE> bytes;
    unsigned value = 0;
    size_t digits = 0;
    for (size_t i = 0; i <= host.size(); ++i) {
        if (i == host.size() || host[i] == L'.') {
            if (digits == 0 || value > 255 || bytes.size() == 4)
                return std::nullopt;
            bytes.push_back(static_cast<BYTE>(value));
            value = 0;
            digits = 0;
        } else if (host[i] >= L'0' && host[i] <= L'9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(host[i] - L'0');
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    return bytes.size() == 4 ? std::optional<std::vector<BYTE>>(bytes) : std::nullopt;
}

// A wildcard stands for one label only where at least this many follow it:
// `*.com` or `*.co` would stand for every name under a top-level domain.
constexpr size_t kLabelsAfterWildcard = 2;

// The number of dot-separated labels, 0 when one of them is empty.
size_t labelCount(const std::wstring& name)
{
    size_t labels = 1;
    for (size_t at = 0, dot; (dot = name.find(L'.', at)) != std::wstring::npos; at = dot + 1, ++labels)
        if (dot == at)
            return 0;
    return name.empty() || name.back() == L'.' ? 0 : labels;
}

// Whether the resolver reads the host as an address: an IPv6 literal, or a
// last label that is a number, as in "127.0.0.1" and its short and hex forms
// ("127.1", "0x7f.1"): a certificate names it by an IP entry only.
bool addressLike(const std::wstring& host)
{
    if (host.find_first_of(L":[") != std::wstring::npos)
        return true;
    const std::wstring last = host.substr(host.rfind(L'.') + 1);
    return !last.empty() && (last.find_first_not_of(L"0123456789") == std::wstring::npos || last.rfind(L"0x", 0) == 0);
}

// Whether one DNS name names the host (in lower case): the same name in any
// letter case, or "*." and a name of at least two labels, the '*' standing
// for the host's whole left-most label. No DNS name names an address.
bool dnsNameNamesHost(const std::wstring& dnsName, const std::wstring& host)
{
    const std::wstring name = lowered(dnsName);
    if (addressLike(host))
        return false;
    if (name.find(L'*') == std::wstring::npos)
        return name == host;
    if (name.rfind(L"*.", 0) != 0 || name.find(L'*', 1) != std::wstring::npos ||
        labelCount(name.substr(2)) < kLabelsAfterWildcard)
        return false;
    const size_t dot = host.find(L'.');
    return dot != std::wstring::npos && dot > 0 && host.compare(dot, std::wstring::npos, name, 1) == 0;
}

class AltNames {
public:
    explicit AltNames(PCCERT_CONTEXT certificate)
    {
        const CERT_INFO* info = certificate->pCertInfo;
        const CERT_EXTENSION* extension =
            CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
        DWORD size = 0;
        if (extension != nullptr &&
            CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                                extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names_, &size))
            return;
        names_ = nullptr;
    }
    ~AltNames()
    {
        if (names_ != nullptr)
            LocalFree(names_);
    }
    AltNames(const AltNames&) = delete;
    AltNames& operator=(const AltNames&) = delete;

    const CERT_ALT_NAME_ENTRY* begin() const { return names_ ? names_->rgAltEntry : nullptr; }
    const CERT_ALT_NAME_ENTRY* end() const { return names_ ? names_->rgAltEntry + names_->cAltEntry : nullptr; }

private:
    CERT_ALT_NAME_INFO* names_ = nullptr;
};

std::wstring commonName(PCCERT_CONTEXT certificate)
{
    wchar_t name[256] = L"";
    char oid[] = szOID_COMMON_NAME;
    CertGetNameStringW(certificate, CERT_NAME_ATTR_TYPE, 0, oid, name, 256);
    return name;
}

} // namespace

bool certificateNamesHost(PCCERT_CONTEXT certificate, const std::wstring& host)
{
    const std::wstring name = lowered(host);
    const auto address = ipv4Bytes(name);
    const AltNames names(certificate);
    bool anyDnsName = false;
    for (const CERT_ALT_NAME_ENTRY& entry : names) {
        if (address && entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS) {
            const CRYPT_DATA_BLOB& ip = entry.IPAddress;
            if (ip.cbData == 4 && std::vector<BYTE>(ip.pbData, ip.pbData + 4) == *address)
                return true;
        }
        if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME) {
            anyDnsName = true;
            if (entry.pwszDNSName != nullptr && dnsNameNamesHost(entry.pwszDNSName, name))
                return true;
        }
    }
    return !anyDnsName && !addressLike(name) && lowered(commonName(certificate)) == name;
}
