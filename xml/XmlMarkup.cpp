#include "xml/XmlMarkup.h"

#include <cstring>

#include "xml/XmlByteClass.h"
#include "xml/XmlError.h"

namespace Xml {

namespace {

// Index of the first `byte` in [from, size), or size.
size_t find(const char* data, size_t size, size_t from, char byte)
{
    if (from >= size)
        return size;
    const void* hit = std::memchr(data + from, byte, size - from);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : size;
}

// Appends `count` bytes to `text` unless that takes it past kMaxTextBytes,
// which is reported at `position`.
void appendWithin(std::string& text, const char* bytes, size_t count, size_t position)
{
    checkTextLength(text.size() + count, position);
    text.append(bytes, count);
}

// The bytes encoding=" or encoding=' at p (blanks allowed around the '='),
// with at least one byte after them; the index after the quote in `value`.
bool encodingAttributeAt(const char* data, size_t size, size_t p, size_t& value, char& quote)
{
    static const char kKey[] = "encoding";
    const size_t keyLength = sizeof kKey - 1;
    if (size - p <= keyLength || std::memcmp(data + p, kKey, keyLength) != 0)
        return false;
    size_t q = p + keyLength;
    while (q < size && data[q] == ' ')
        ++q;
    if (q >= size || data[q] != '=')
        return false;
    ++q;
    while (q < size && data[q] == ' ')
        ++q;
    if (q + 1 >= size || (data[q] != '"' && data[q] != '\''))
        return false;
    quote = data[q];
    value = q + 1;
    return true;
}

} // namespace

size_t skipDeclaration(const char* data, size_t size, size_t bang)
{
    const size_t close = find(data, size, bang + 1, '>');
    const size_t subset = find(data, close, bang + 1, '['); // only before that '>'
    if (subset >= close)
        return close < size ? close + 1 : size;
    // The subset's own declarations hold '>', so it ends at its ']'.
    const size_t bracket = find(data, size, subset, ']');
    const size_t end = find(data, size, bracket, '>');
    return end < size ? end + 1 : size;
}

bool cdataStartsAt(const char* data, size_t size, size_t bang)
{
    static const char kOpen[] = "[CDATA[";
    const size_t length = sizeof kOpen - 1;
    return size - bang > length && std::memcmp(data + bang + 1, kOpen, length) == 0;
}

size_t readCdata(const char* data, size_t size, size_t bang, std::string* text, size_t& ampersands)
{
    const size_t start = bang + 8; // after "![CDATA["
    size_t end = find(data, size, start, ']');
    while (end < size && !(size - end >= 3 && data[end + 1] == ']' && data[end + 2] == '>'))
        end = find(data, size, end + 1, ']');
    if (end >= size)
        return size;
    if (text != nullptr) {
        size_t piece = start;
        for (size_t p = findClass(data, start, end, kDropped | kAmpersand); p < end;
             p = findClass(data, piece, end, kDropped | kAmpersand)) {
            appendWithin(*text, data + piece, p - piece, p);
            if (data[p] == '&') {
                if (++ampersands > kMaxCdataAmpersands)
                    failOverLimit("More than ", kMaxCdataAmpersands, " '&' in CDATA sections", p);
                appendWithin(*text, "&amp;", 5, p);
            }
            piece = p + 1;
        }
        appendWithin(*text, data + piece, end - piece, end);
    }
    return end + 3;
}

size_t readProcessingInstruction(const char* data, size_t size, size_t question, std::string& encoding)
{
    size_t p = question;
    size_t value;
    char quote;
    while (p < size && data[p] != '>') {
        if (data[p] != 'e' || !encodingAttributeAt(data, size, p, value, quote)) {
            ++p;
            continue;
        }
        p = value;
        while (p < size && data[p] != quote && data[p] != '>')
            ++p;
        encoding.append(data + value, p - value);
        if (p < size)
            ++p; // the byte that ended the value, even a '>', does not end the instruction
    }
    return p < size ? p + 1 : size;
}

} // namespace Xml
