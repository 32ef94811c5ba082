#include "xml/XmlError.h"

#include <algorithm>
#include <limits>
#include <string>

#include "base/RSSException.h"

namespace Xml {

std::wstring widen(const std::string& bytes, size_t limit)
{
    const size_t count = std::min(bytes.size(), limit);
    std::wstring wide(count, L'\0');
    for (size_t i = 0; i < count; ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return wide;
}

int32_t reportedPosition(size_t position)
{
    const size_t top = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(std::min(position, top));
}

void fail(const char* message, size_t position)
{
    throw RSS::XMLException(widen(message), reportedPosition(position));
}

void failOverLimit(const char* before, size_t limit, const char* after, size_t position)
{
    throw RSS::XMLException(widen(before) + std::to_wstring(limit) + widen(after), reportedPosition(position));
}

void failTextTooLong(size_t position)
{
    failOverLimit("Text longer than ", kMaxTextBytes, " bytes", position);
}

namespace {

// A name as the message shows it: up to its first NUL byte, which would end
// the message for the host, and at most 31 characters of that.
std::wstring shownName(const std::string& name)
{
    return widen(name.substr(0, name.find('\0')), 31);
}

} // namespace

void failWrongNesting(const std::string& endName, const std::string& openName, size_t position)
{
    std::wstring message = L"Wrong nesting, expecting " + shownName(endName) + L" but found " + shownName(openName);
    throw RSS::XMLException(std::move(message), reportedPosition(position));
}

} // namespace Xml
