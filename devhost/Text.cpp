#include "devhost/Text.h"

#include <windows.h>

#include <ctime>
#include <cwchar>

namespace Text {

std::string toUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &bytes[0], needed, nullptr, nullptr);
    return bytes;
}

bool fromUtf8(const std::string& bytes, std::wstring& text)
{
    text.clear();
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
        return false;
    text.resize(static_cast<size_t>(needed));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, &text[0], needed);
    return true;
}

std::wstring widen(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring utcTime(int64_t timeValue)
{
    __time64_t value = timeValue;
    tm parts{};
    if (timeValue < 0 || _gmtime64_s(&parts, &value) != 0)
        return std::wstring();
    wchar_t buffer[64] = {};
    wcsftime(buffer, 64, L"%Y-%m-%d %H:%M:%S UTC", &parts);
    return buffer;
}

std::wstring hex(uintptr_t value)
{
    wchar_t buffer[32] = {};
    swprintf(buffer, 32, L"0x%llX", static_cast<unsigned long long>(value));
    return buffer;
}

} // namespace Text
