#include "TestPaths.h"

#ifndef QF_DLL_PATH
#define QF_DLL_PATH ""
#endif

std::wstring windowsPath(const char* buildPath)
{
    std::wstring path;
    for (const char* p = buildPath; *p; ++p)
        path += static_cast<wchar_t>(static_cast<unsigned char>(*p) == '/' ? '\\' : static_cast<unsigned char>(*p));
    if (buildPath[0] == '/')
        path = L"Z:" + path;
    return path;
}

std::wstring dllPath()
{
    return windowsPath(QF_DLL_PATH);
}
