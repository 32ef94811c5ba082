#include "net/Url.h"

Url Url::parse(const wchar_t* address)
{
    const std::wstring text = address ? address : L"";
    // The prefix decides only where the host starts, wherever it occurs.
    const size_t start = text.find(L"http://") == std::wstring::npos ? 0 : 7;
    const size_t slash = text.find(L'/', start);
    Url url;
    url.path = text.substr(slash); // no '/': std::out_of_range
    url.host = text.substr(start, slash - start);
    return url;
}
