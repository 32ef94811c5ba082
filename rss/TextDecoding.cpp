#include "rss/TextDecoding.h"

#include <windows.h>

#include <cwchar>

#include "rss/CodePages.h"

std::wstring decodeText(const std::string& text, const std::string& encodingName)
{
    const UINT codePage = codePageFor(encodingName);
    const int needed = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (needed < 1)
        return std::wstring();
    // Converted in place, without a second buffer; zero-filled, so a conversion
    // that leaves out the terminator still ends, and the text ends at its first NUL.
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], needed);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}
