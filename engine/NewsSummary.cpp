#include "engine/NewsSummary.h"

std::wstring newItemsText(size_t count)
{
    const size_t units = count % 10;
    const size_t tens = count % 100;
    const wchar_t* words = L" nowych wpisów";
    if (count == 1)
        words = L" nowy wpis";
    else if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        words = L" nowe wpisy";
    return std::to_wstring(count) + words;
}
