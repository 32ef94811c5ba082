#include "rss/Iso2022Jp.h"

#include <cstddef>

namespace {

enum class Mode { Ascii, Kanji, Katakana };

const char kEscape = '\x1B';

// The mode an escape sequence at `p` selects; its length in `length`, 0 when it selects none.
Mode escapeAt(const std::string& text, size_t p, Mode current, size_t& length)
{
    length = 0;
    if (p + 2 >= text.size())
        return current;
    const char first = text[p + 1], second = text[p + 2];
    length = 3;
    if (first == '$' && (second == '@' || second == 'B'))
        return Mode::Kanji;
    if (first == '(' && (second == 'B' || second == 'J'))
        return Mode::Ascii;
    if (first == '(' && second == 'I')
        return Mode::Katakana;
    length = 0;
    return current;
}

} // namespace

std::string iso2022JpToEucJp(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    Mode mode = Mode::Ascii;
    for (size_t p = 0; p < text.size(); ++p) {
        size_t length = 0;
        if (text[p] == kEscape)
            mode = escapeAt(text, p, mode, length);
        if (length > 0) {
            p += length - 1;
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(text[p]);
        if (mode == Mode::Kanji && byte >= 0x21 && byte <= 0x7E) {
            out.push_back(static_cast<char>(byte + 0x80));
        } else if (mode == Mode::Katakana && byte >= 0x21 && byte <= 0x5F) {
            out.push_back('\x8E');
            out.push_back(static_cast<char>(byte + 0x80));
        } else {
            out.push_back(text[p]);
        }
    }
    return out;
}

size_t iso2022JpOffset(const std::string& text, size_t characters)
{
    Mode mode = Mode::Ascii;
    size_t p = 0;
    while (p < text.size()) {
        size_t length = 0;
        if (text[p] == kEscape)
            mode = escapeAt(text, p, mode, length);
        if (length == 0 && characters == 0)
            break;
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(text[p]);
            length = mode == Mode::Kanji && byte >= 0x21 && byte <= 0x7E && p + 1 < text.size() ? 2 : 1;
            --characters;
        }
        p += length;
    }
    return p;
}
