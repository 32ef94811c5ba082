#include "rss/TextDecoding.h"

#include <windows.h>

#include <cwchar>

#include "rss/CodePages.h"
#include "rss/Iso2022Jp.h"

namespace {

const UINT kGb18030 = 54936;
const UINT kGbk = 936;
const UINT kIso2022Jp = kIso2022JpCodePage;
const UINT kEucJp = 20932;

// Wide characters the conversion needs, terminator included; 0 when the code page is not there.
int neededFor(UINT codePage, const char* bytes)
{
    return MultiByteToWideChar(codePage, 0, bytes, -1, nullptr, 0);
}

} // namespace

std::wstring decodeText(const std::string& text, const std::string& encodingName)
{
    UINT codePage = codePageFor(encodingName);
    // ISO-2022-JP is decoded as EUC-JP on every platform: Wine 8 has no
    // 50220-50222 conversion, Windows and Wine both have 20932.
    const std::string bytes = codePage == kIso2022Jp ? iso2022JpToEucJp(text) : std::string();
    const char* source = codePage == kIso2022Jp ? bytes.c_str() : text.c_str();
    if (codePage == kIso2022Jp)
        codePage = kEucJp;
    int needed = neededFor(codePage, source);
    if (needed < 1 && codePage == kGb18030) {
        // Windows has GB18030; Wine 8 has not, and GBK reads its one- and two-byte forms.
        codePage = kGbk;
        needed = neededFor(codePage, source);
    }
    if (needed < 1)
        return std::wstring();
    // Converted in place, without a second buffer; zero-filled, so a conversion
    // that leaves out the terminator still ends, and the text ends at its first NUL.
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, source, -1, &wide[0], needed);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}
