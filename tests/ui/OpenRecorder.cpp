// Stands in for any program, shared file or protocol handler that a link line
// could start. Run under some file name, it leaves "<name>.opened" in the folder
// named by QF_OPENED_DIR, holding its first argument (the address a handler is
// given), so a test sees what the shell opened.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "base/UniqueHandle.h"

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    wchar_t folder[MAX_PATH] = {};
    if (arguments == nullptr || count < 1 || GetEnvironmentVariableW(L"QF_OPENED_DIR", folder, MAX_PATH) == 0)
        return 1;
    const std::wstring self = arguments[0];
    const std::wstring marker = folder + (L"\\" + self.substr(self.find_last_of(L"\\/") + 1)) + L".opened";
    const std::wstring text = count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    // Written aside, then renamed: the test never reads a half-written marker.
    const std::wstring partial = marker + L".part";
    UniqueHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return 1;
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    file.reset();
    return wrote && MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
