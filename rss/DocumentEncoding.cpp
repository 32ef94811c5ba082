#include "rss/DocumentEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "rss/CodePages.h"
#include "rss/Iso2022Jp.h"
#include "rss/TextDecoding.h"
#include "xml/XmlMarkup.h"

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kUtf16LeMark[] = "\xFF\xFE";
const char kUtf16BeMark[] = "\xFE\xFF";
const char kDeclarationStart[] = "<?xml";
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kFirstSurrogate = 0xD800, kFirstLowSurrogate = 0xDC00, kLastSurrogate = 0xDFFF;
constexpr uint8_t kUtf8Leads[] = {0x00, 0xC0, 0xE0, 0xF0}; // by the count of continuation bytes

bool continuation(uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed sequence at `p` (lead byte at least 0x80), 0 when there is none.
size_t sequenceAt(const uint8_t* p, const uint8_t* end)
{
    const uint8_t lead = p[0];
    size_t length;
    uint8_t low = 0x80, high = 0xBF; // the range of the second byte (RFC 3629's table)
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < length || p[1] < low || p[1] > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (!continuation(p[i]))
            return 0;
    return length;
}

void appendUtf8(std::string& out, char32_t c)
{
    const int continuations = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out.push_back(static_cast<char>(kUtf8Leads[continuations] | c >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
        out.push_back(static_cast<char>(0x80 | (c >> shift & 0x3F)));
}

bool surrogatePair(char32_t high, char32_t low)
{
    return high >= kFirstSurrogate && high < kFirstLowSurrogate && low >= kFirstLowSurrogate && low <= kLastSurrogate;
}

// UTF-16 code units as UTF-8 after its byte-order mark; a surrogate out of
// its pair becomes U+FFFD, as it would in any decoder.
template <typename Units>
std::string utf8From(const Units& units)
{
    std::string out(kByteOrderMark);
    out.reserve(units.size() * 3 + out.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = static_cast<char16_t>(units[i]);
        const char32_t next = i + 1 < units.size() ? static_cast<char16_t>(units[i + 1]) : 0;
        if (surrogatePair(c, next)) {
            c = 0x10000 + ((c - kFirstSurrogate) << 10) + (next - kFirstLowSurrogate);
            ++i;
        } else if (c >= kFirstSurrogate && c <= kLastSurrogate) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

char16_t unitAt(const std::string& body, size_t at, bool bigEndian)
{
    const auto first = static_cast<uint8_t>(body[at]), second = static_cast<uint8_t>(body[at + 1]);
    return static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
}

// The code units after the byte-order mark; an odd last byte is U+FFFD.
std::u16string utf16Units(const std::string& body, bool bigEndian)
{
    std::u16string units;
    units.reserve(body.size() / 2);
    for (size_t at = 2; at + 1 < body.size(); at += 2)
        units.push_back(unitAt(body, at, bigEndian));
    if (body.size() % 2 != 0)
        units.push_back(kReplacement);
    return units;
}

// Where the character numbered `characters` (from 0) starts, counted as
// utf8From counts them.
size_t utf16Offset(const std::string& body, size_t characters, bool bigEndian)
{
    size_t at = 2;
    for (; characters > 0 && at + 1 < body.size(); --characters) {
        const bool pair =
            at + 3 < body.size() && surrogatePair(unitAt(body, at, bigEndian), unitAt(body, at + 2, bigEndian));
        at += pair ? 4 : 2;
    }
    return at;
}

// The encoding that an XML declaration at the start (blanks allowed before
// it) names, read as the parser reads it; empty when there is none.
std::string declaredAtStart(const std::string& body)
{
    std::string encoding;
    const size_t start = body.find_first_not_of(" \t\r\n");
    if (start != std::string::npos && body.compare(start, sizeof kDeclarationStart - 1, kDeclarationStart) == 0)
        Xml::readProcessingInstruction(body.data(), body.size(), start + 1, encoding);
    return encoding;
}

} // namespace

bool isUtf8(const char* data, size_t size)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
    const uint8_t* end = p + size;
    while (p < end) {
        // ASCII eight bytes at a time: most of a feed is markup.
        uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ULL) == 0)) {
            p += 8;
            continue;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const size_t length = sequenceAt(p, end);
        if (length == 0)
            return false;
        p += length;
    }
    return true;
}

std::string documentEncoding(const std::string& body, const std::string& declared)
{
    if (body.compare(0, 3, kByteOrderMark) == 0)
        return "utf-8";
    if (declared.empty() && !isUtf8(body.data(), body.size()))
        return "windows-1252";
    return declared;
}

ParsableDocument::ParsableDocument(std::string body) : bodySize_(body.size())
{
    const std::string declared = declaredAtStart(body);
    if (body.compare(0, 2, kUtf16LeMark) == 0 || body.compare(0, 2, kUtf16BeMark) == 0) {
        form_ = body[0] == kUtf16BeMark[0] ? Form::Utf16Be : Form::Utf16Le;
        text_ = utf8From(utf16Units(body, form_ == Form::Utf16Be));
    } else if (codePageFor(declared) == kIso2022JpCodePage) {
        form_ = Form::Iso2022Jp;
        text_ = utf8From(decodeText(body, declared));
    } else {
        text_ = std::move(body);
        return;
    }
    body_ = std::move(body); // for the positions in it
}

int32_t ParsableDocument::bodyPosition(int32_t position) const
{
    if (form_ == Form::AsIs || position < 0)
        return position;
    // The characters of the text before `position`, its byte-order mark left out.
    const size_t end = std::min(static_cast<size_t>(position), text_.size());
    size_t characters = 0;
    for (size_t i = sizeof kByteOrderMark - 1; i < end; ++i)
        characters += continuation(static_cast<uint8_t>(text_[i])) ? 0 : 1;
    const size_t offset = form_ == Form::Iso2022Jp ? iso2022JpOffset(body_, characters)
                                                   : utf16Offset(body_, characters, form_ == Form::Utf16Be);
    return static_cast<int32_t>(std::min(offset, body_.size()));
}

void ParsableDocument::release()
{
    std::string().swap(text_);
    std::string().swap(body_);
}
