#include "rss/CharacterReferences.h"

#include <cstddef>
#include <cstdint>

namespace {

struct NamedEntity {
    const wchar_t* name; // between '&' and ';'
    wchar_t character;
};

const NamedEntity kEntities[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};

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

// The reference that starts with the '&' at `amp`: its character and its end.
bool referenceAt(const std::wstring& text, size_t amp, uint32_t& code, size_t& end)
{
    const size_t at = amp + 1;
    if (at < text.size() && text[at] == L'#')
        return numericReference(text, at, code, end);
    for (const NamedEntity& entity : kEntities) {
        const size_t length = std::char_traits<wchar_t>::length(entity.name);
        if (text.compare(at, length, entity.name) == 0 && at + length < text.size() && text[at + length] == L';') {
            code = static_cast<uint32_t>(entity.character);
            end = at + length + 1;
            return true;
        }
    }
    return false;
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
        uint32_t code;
        size_t end;
        if (text[in] == L'&' && referenceAt(text, in, code, end)) {
            out = put(text, out, code);
            in = end;
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
    return text;
}
