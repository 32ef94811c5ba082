#include "rss/TextDecoding.h"

#include <windows.h>

#include <vector>

#include "rss/CodePages.h"

std::wstring decodeText(const std::string& text, const std::string& encodingName)
{
    const UINT codePage = codePageFor(encodingName);
    const int needed = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (needed < 1)
        return std::wstring();
    // Zero-filled and one longer: some conversions leave out the terminator.
    std::vector<wchar_t> buffer(static_cast<size_t>(needed) + 1, L'\0');
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, buffer.data(), needed);
    return std::wstring(buffer.data());
}
