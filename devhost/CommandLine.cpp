#include "devhost/CommandLine.h"

#include <cwchar>

namespace {

bool takeValue(const std::vector<std::wstring>& arguments, size_t& i, std::wstring& value, CommandLine& line)
{
    if (i + 1 >= arguments.size()) {
        line.error = arguments[i] + L" needs a value";
        return false;
    }
    value = arguments[++i];
    return true;
}

bool parseTimeout(const std::wstring& text, DWORD& timeoutMs)
{
    wchar_t* end = nullptr;
    const unsigned long value = wcstoul(text.c_str(), &end, 10);
    if (text.empty() || *end != L'\0' || value == 0 || value > 3600000)
        return false;
    timeoutMs = static_cast<DWORD>(value);
    return true;
}

std::wstring folderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::wstring>& arguments)
{
    CommandLine line;
    for (size_t i = 1; i < arguments.size() && line.error.empty(); ++i) {
        const std::wstring& argument = arguments[i];
        std::wstring value;
        if (argument == L"--once")
            line.once = true;
        else if (argument == L"--silent")
            line.silent = true;
        else if (argument == L"--help" || argument == L"-h" || argument == L"/?")
            line.help = true;
        else if (argument == L"--quiet-log")
            line.quietLog = true;
        else if (argument == L"--feeds")
            takeValue(arguments, i, line.feedsFile, line);
        else if (argument == L"--config")
            takeValue(arguments, i, line.configPath, line);
        else if (argument == L"--dll")
            takeValue(arguments, i, line.dllPath, line);
        else if (argument == L"--log")
            takeValue(arguments, i, line.logFile, line);
        else if (argument == L"--timeout") {
            if (takeValue(arguments, i, value, line) && !parseTimeout(value, line.timeoutMs))
                line.error = L"--timeout takes milliseconds, 1 to 3600000";
        } else if (argument.rfind(L"--", 0) == 0)
            line.error = L"unknown option " + argument;
        else
            line.addresses.push_back(argument);
    }
    if (line.error.empty() && !line.feedsFile.empty() && !line.addresses.empty())
        line.error = L"give the feeds either with --feeds or as addresses, not both";
    if (line.error.empty() && line.silent && !line.once)
        line.error = L"--silent belongs to --once; the window's timer starts silent by itself";
    return line;
}

std::wstring usageText()
{
    return L"Usage: devhost [--once [--silent]] [--feeds FILE | ADDRESS...] [--config FILE]\n"
           L"               [--dll FILE] [--log FILE] [--quiet-log] [--timeout MS]\n"
           L"\n"
           L"Loads quillFeed.dll like the messenger does and answers its services.\n"
           L"\n"
           L"  --once        no window: load, run one notifying refresh, print the\n"
           L"                notifications, news entries and panel tree, unload\n"
           L"  --silent      with --once: a silent refresh (nothing is announced)\n"
           L"  --feeds FILE  store the addresses in FILE (one a line) as the feed list\n"
           L"  ADDRESS...    store these addresses as the feed list\n"
           L"  --config FILE the configuration file (default %APPDATA%\\quillFeed-devhost\\quillFeed.cfg)\n"
           L"  --dll FILE    the plug-in (default quillFeed.dll beside devhost.exe)\n"
           L"  --log FILE    append the plug-in's log lines to FILE as well\n"
           L"  --quiet-log   do not copy log lines to standard error\n"
           L"  --timeout MS  how long --once waits for the refresh (default 150000)\n"
           L"\n"
           L"Without --once a window shows the panel, a list of notifications and a\n"
           L"menu: refresh now (F5), options (Ctrl+O), quit.\n"
           L"\n"
           L"Exit codes: 0 done, 1 bad arguments, 2 configuration file unusable,\n"
           L"3 plug-in cannot be loaded, 4 refresh did not end in time.\n";
}

std::wstring absolutePath(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    return length > 0 && length < MAX_PATH * 4 ? std::wstring(buffer, length) : path;
}

std::wstring defaultConfigPath()
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH);
    const std::wstring base = length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring(L".");
    return base + L"\\quillFeed-devhost\\quillFeed.cfg";
}

std::wstring defaultDllPath()
{
    wchar_t buffer[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    return folderOf(std::wstring(buffer, length)) + L"quillFeed.dll";
}
