#include "UserProxySettings.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
const wchar_t kValue[] = L"DefaultConnectionSettings";

void appendWord(std::vector<BYTE>& out, uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>(word >> shift));
}

void appendText(std::vector<BYTE>& out, const std::string& text)
{
    appendWord(out, static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

void write(const std::vector<BYTE>& bytes)
{
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_BINARY, bytes.data(),
                              static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

} // namespace

UserProxySettings::UserProxySettings(uint32_t flags, const std::string& proxy, const std::string& bypass,
                                     const std::string& script)
{
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_BINARY, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        before_.emplace(size);
        RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_BINARY, nullptr, before_->data(), &size);
    }
    std::vector<BYTE> bytes;
    appendWord(bytes, 0x46); // the layout's version, as Windows writes it
    appendWord(bytes, 1);    // a change counter
    appendWord(bytes, flags);
    appendText(bytes, proxy);
    appendText(bytes, bypass);
    appendText(bytes, script);
    bytes.resize(bytes.size() + 32, 0); // the detection fields that follow, none set
    write(bytes);
}

UserProxySettings::~UserProxySettings()
{
    if (before_)
        write(*before_);
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
}
