#include "rss/CharacterReferences.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rss/HtmlEntities.h"

namespace {

const uint32_t kLastCodePoint = 0x10FFFF;

// XML's Char production: what a character reference may stand for.
bool allowedInXml(uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= kLastCodePoint);
}

int digitValue(wchar_t c, uint32_t base)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (base == 16 && c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (base == 16 && c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// "#N;" or "#xH;" from `at` (the byte after '&'); its end in `end`.
bool numericReference(const std::wstring& text, size_t at, uint32_t& code, size_t& end)
{
    size_t p = at + 1;
    const uint32_t base = p < text.size() && text[p] == L'x' ? 16 : 10;
    if (base == 16)
        ++p;
    const size_t digits = p;
    code = 0;
    for (int digit; p < text.size() && (digit = digitValue(text[p], base)) >= 0; ++p) {
        code = code * base + static_cast<uint32_t>(digit);
        if (code > kLastCodePoint)
            return false;
    }
    if (p == digits || p >= text.size() || text[p] != L';' || !allowedInXml(code))
        return false;
    end = p + 1;
    return true;
}

bool nameCharacter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

// "name;" from `at` (the byte after '&'), looked up in the HTML standard's
// table, which holds XML's five as well.
bool namedReference(const std::wstring& text, size_t at, uint32_t (&codes)[2], size_t& end)
{
    char name[kLongestEntityName + 1];
    size_t length = 0;
    for (; at + length < text.size() && nameCharacter(text[at + length]); ++length) {
        if (length == kLongestEntityName)
            return false;
        name[length] = static_cast<char>(text[at + length]);
    }
    if (length == 0 || at + length >= text.size() || text[at + length] != L';')
        return false;
    name[length] = '\0';
    const HtmlEntity* last = kHtmlEntities + kHtmlEntityCount;
    const HtmlEntity* found =
        std::lower_bound(kHtmlEntities, last, name,
                         [](const HtmlEntity& entity, const char* key) { return std::strcmp(entity.name, key) < 0; });
    if (found == last || std::strcmp(found->name, name) != 0)
        return false;
    codes[0] = found->first;
    codes[1] = found->second;
    end = at + length + 1;
    return true;
}

// The reference that starts with the '&' at `amp`: its one or two characters and its end.
bool referenceAt(const std::wstring& text, size_t amp, uint32_t (&codes)[2], size_t& end)
{
    const size_t at = amp + 1;
    if (at < text.size() && text[at] == L'#') {
        codes[1] = 0;
        return numericReference(text, at, codes[0], end);
    }
    return namedReference(text, at, codes, end);
}

// Writes UTF-16 code units at `out`, which never overtakes the reading side:
// every reference is longer than what it stands for.
size_t put(std::wstring& text, size_t out, uint32_t code)
{
    if (code < 0x10000) {
        text[out] = static_cast<wchar_t>(code);
        return out + 1;
    }
    code -= 0x10000;
    text[out] = static_cast<wchar_t>(0xD800 + (code >> 10));
    text[out + 1] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    return out + 2;
}

} // namespace

std::wstring decodeReferences(std::wstring text)
{
    size_t in = text.find(L'&');
    if (in == std::wstring::npos)
        return text;
    size_t out = in;
    while (in < text.size()) {
        uint32_t codes[2];
        size_t end;
        if (text[in] == L'&' && referenceAt(text, in, codes, end)) {
            out = put(text, out, codes[0]);
            if (codes[1] != 0)
                out = put(text, out, codes[1]);
            in = end;
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
    return text;
}
