#include <windows.h>

#include <cwchar>

#include "rss/FeedReader.h"

std::wstring decodeText(const std::string& text, const std::string& encodingName)
{
    // Only these two exact spellings select ISO 8859-2; everything else is read as UTF-8.
    const UINT codePage = encodingName == "iso-8859-2" || encodingName == "ISO-8859-2" ? 28592 : CP_UTF8;
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
