#include "xml/XmlMarkup.h"

#include <cstring>

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

// The ten bytes encoding=" at p, with at least one byte after them.
bool encodingAttributeAt(const char* data, size_t size, size_t p)
{
    static const char kKey[] = "encoding=\"";
    const size_t keyLength = sizeof kKey - 1;
    return p + keyLength < size && std::memcmp(data + p, kKey, keyLength) == 0;
}

} // namespace

size_t skipDeclaration(const char* data, size_t size, size_t bang)
{
    const size_t bracket = find(data, size, bang + 1, ']');
    const size_t close = find(data, size, bracket, '>');
    return close < size ? close + 1 : size;
}

size_t readProcessingInstruction(const char* data, size_t size, size_t question, std::string& encoding)
{
    size_t p = question;
    while (p < size && data[p] != '>') {
        if (data[p] != 'e' || !encodingAttributeAt(data, size, p)) {
            ++p;
            continue;
        }
        p += 10;
        const size_t start = p;
        while (p < size && data[p] != '"' && data[p] != '>')
            ++p;
        encoding.append(data + start, p - start);
        if (p < size)
            ++p; // the byte that ended the value, even a '>', does not end the instruction
    }
    return p < size ? p + 1 : size;
}

} // namespace Xml
