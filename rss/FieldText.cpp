#include "rss/FieldText.h"

#include <utility>

#include "net/UrlReference.h"
#include "rss/CharacterReferences.h"
#include "rss/TextDecoding.h"
#include "xml/XmlError.h"
#include "xml/XmlNodeText.h"

// References are decoded after the conversion, so that each gives its
// character whatever the document's encoding.
std::wstring shownText(const std::string& text, const std::string& encoding)
{
    return decodeReferences(decodeText(text, encoding));
}

std::wstring wholeFieldText(const XmlNode& element, const DocumentScope& scope)
{
    if (element.children.empty())
        return shownText(element.text, scope.encoding()); // no copy of a long text
    const std::string text = wholeText(element, Xml::kMaxTextBytes);
    if (text.size() > Xml::kMaxTextBytes) // each piece is within it, their sum need not be
        Xml::failTextTooLong(scope.documentSize());
    return shownText(text, scope.encoding());
}

std::wstring ownFieldText(const XmlNode& element, const DocumentScope& scope)
{
    return shownText(element.text, scope.encoding());
}

std::wstring resolveLink(std::wstring text, const std::wstring& base)
{
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    text.erase(text.find_last_not_of(L' ') + 1);
    text.erase(0, first);
    if (text.size() > kMaxLinkLength)
        return std::wstring();
    return base.empty() ? text : resolveReference(base, text);
}

std::wstring linkFieldText(const XmlNode& element, const DocumentScope& scope)
{
    return resolveLink(wholeFieldText(element, scope), scope.base());
}

std::wstring linkAttribute(const XmlNode& element, const char* name, const DocumentScope& scope)
{
    const auto found = element.attributes.find(name);
    return found == element.attributes.end() ? std::wstring()
                                             : resolveLink(shownText(found->second, scope.encoding()), scope.base());
}

std::wstring attributeText(const XmlNode& element, const char* name, const DocumentScope& scope)
{
    const auto found = element.attributes.find(name);
    return found == element.attributes.end() ? std::wstring() : shownText(found->second, scope.encoding());
}
