#include "ui/LinkForShell.h"

#include <cwchar>

namespace {

// The shell puts a link into the command line of the program registered for
// its scheme, such as `"browser.exe" "%1"` or `browser.exe %1`. There '"'
// ends the quoted argument and lets the rest of the link become arguments of
// its own; blanks and control characters split arguments where %1 is not
// quoted; '<' '>' '|' '^' redirect, pipe and escape where the command goes
// through cmd.exe, and '`' escapes in PowerShell. None of them may stand in an
// address unencoded (RFC 3986), so the encoded link is the same address to a
// browser. '%' stays, or the escapes the link holds would change; '&' stays,
// as it separates the fields of a query.
constexpr wchar_t kShellSpecial[] = L"\"<>|^` ";
constexpr wchar_t kFirstPrintable = 0x20;
constexpr wchar_t kDelete = 0x7F;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

bool needsEncoding(wchar_t c)
{
    return c < kFirstPrintable || c == kDelete || std::wcschr(kShellSpecial, c) != nullptr;
}

} // namespace

std::wstring linkForShell(const std::wstring& link)
{
    // Backslashes before the quote that closes "%1" would escape it; elsewhere
    // a browser reads a backslash as '/', and it stays.
    const size_t trailingRun = link.find_last_not_of(L'\\') + 1;
    std::wstring encoded;
    encoded.reserve(link.size());
    for (size_t i = 0; i < link.size(); ++i) {
        const wchar_t c = link[i];
        if (needsEncoding(c) || i >= trailingRun)
            encoded += {L'%', kHexDigits[c >> 4], kHexDigits[c & 0xF]};
        else
            encoded += c;
    }
    return encoded;
}
