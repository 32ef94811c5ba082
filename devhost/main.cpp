// devhost: a stand-in for the WTW messenger that loads quillFeed.dll.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

#include "devhost/CommandLine.h"
#include "devhost/Console.h"
#include "devhost/Modes.h"

namespace {

std::vector<std::wstring> arguments()
{
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> found;
    for (int i = 0; list != nullptr && i < count; ++i)
        found.emplace_back(list[i]);
    LocalFree(list);
    return found;
}

} // namespace

int main()
{
    try {
        const CommandLine options = parseCommandLine(arguments());
        if (options.help) {
            Console::out(usageText());
            return kExitOk;
        }
        if (!options.error.empty()) {
            Console::err(L"devhost: " + options.error + L"\n\n" + usageText());
            return kExitUsage;
        }
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        return options.once ? runOnce(options) : runInteractive(options);
    } catch (const std::exception& failure) {
        Console::err(L"devhost: " + std::wstring(failure.what(), failure.what() + strlen(failure.what())) + L"\n");
        return kExitUsage;
    }
}
