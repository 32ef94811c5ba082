#pragma once
// The current user's proxy settings as WinHTTP reads them under Wine: the
// binary DefaultConnectionSettings value of the Internet Settings'
// Connections key, in the test prefix's registry. Set for one test and put
// back as it was after (a test that sets them must run alone).
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class UserProxySettings {
public:
    static constexpr uint32_t kDirect = 1, kProxy = 2, kScript = 4, kAutoDetect = 8;

    UserProxySettings(uint32_t flags, const std::string& proxy, const std::string& bypass = "",
                      const std::string& script = "");
    ~UserProxySettings();
    UserProxySettings(const UserProxySettings&) = delete;
    UserProxySettings& operator=(const UserProxySettings&) = delete;

private:
    std::optional<std::vector<BYTE>> before_;
};
