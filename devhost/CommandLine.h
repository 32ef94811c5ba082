#pragma once
// The devhost's options.
#include <windows.h>

#include <string>
#include <vector>

struct CommandLine {
    bool once = false;
    bool silent = false;
    bool help = false;
    bool quietLog = false;
    std::wstring feedsFile;
    std::wstring configPath;
    std::wstring dllPath;
    std::wstring logFile;
    std::vector<std::wstring> addresses;
    DWORD timeoutMs = 150000; // longer than one fetch may take under the client's own limits
    std::wstring error;       // set when the arguments make no sense
};

CommandLine parseCommandLine(const std::vector<std::wstring>& arguments);
std::wstring usageText();

// %APPDATA%\quillFeed-devhost\quillFeed.cfg
std::wstring defaultConfigPath();
// quillFeed.dll beside devhost.exe
std::wstring defaultDllPath();
std::wstring absolutePath(const std::wstring& path);

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitConfig = 2;
constexpr int kExitNoPlugin = 3;
constexpr int kExitRefreshTimeout = 4;
