// Host names against the DNS name of a certificate, its alternative names
// encoded by crypt32 as a certificate carries them; nothing else of a
// certificate is read for the match.
#include <gtest/gtest.h>

#include <string>

#include "net/CertificateHostName.h"

TEST(CertificateHostName, WildcardIsAWholeLeftMostLabelOverTwoOrMoreAndNeverAnAddress)
{
    const std::wstring hosts[] = {L"x.com",     L"a.com",      L"b.a.com",          L"B.A.Com", L"x.b.a.com", L".a.com",
                                  L"127.0.0.1", L"0x7f.0.0.1", L"::ffff:127.0.0.1", L"127.1",   L"x.co"};
    // Each DNS name with the hosts it names.
    const std::pair<std::wstring, std::wstring> namedBy[] = {
        {L"*.a.com", L" b.a.com B.A.Com "},
        {L"A.com", L" a.com "},
        {L"*.com", L""},
        {L"*.co", L""},
        {L"*.0.0.1", L""},
        {L"b*.a.com", L""},
        {L"127.1", L""},
    };
    constexpr DWORD kRoom = 256; // one short DNS name encodes in a few dozen bytes
    char oid[] = szOID_SUBJECT_ALT_NAME2;
    for (const auto& [dnsName, named] : namedBy) {
        CERT_ALT_NAME_ENTRY entry{CERT_ALT_NAME_DNS_NAME, {}};
        entry.pwszDNSName = const_cast<wchar_t*>(dnsName.c_str());
        CERT_ALT_NAME_INFO names{1, &entry};
        BYTE encoded[kRoom];
        DWORD size = kRoom;
        ASSERT_TRUE(CryptEncodeObject(X509_ASN_ENCODING, X509_ALTERNATE_NAME, &names, encoded, &size));
        CERT_EXTENSION extension{oid, FALSE, {size, encoded}};
        CERT_INFO info{};
        info.cExtension = 1;
        info.rgExtension = &extension;
        const CERT_CONTEXT certificate{X509_ASN_ENCODING, nullptr, 0, &info, nullptr};
        for (const std::wstring& host : hosts)
            EXPECT_EQ(certificateNamesHost(&certificate, host), named.find(L" " + host + L" ") != std::wstring::npos)
                << testing::PrintToString(dnsName + L" for " + host);
    }
}
