#include <windows.h>

#include <vector>

#include "rss/FeedReader.h"

std::wstring decodeText(const std::string& text, const std::string& encodingName)
{
    // Only these two exact spellings select ISO 8859-2; everything else is read as UTF-8.
    const UINT codePage = encodingName == "iso-8859-2" || encodingName == "ISO-8859-2" ? 28592 : CP_UTF8;
    const int needed = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (needed < 1)
        return std::wstring();
    // Zero-filled and one longer: some conversions leave out the terminator.
    std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, buffer.data(), needed);
    return std::wstring(buffer.data());
}
