#pragma once
// The conversions of an element's bytes into the text of a Channel or Item field.
#include <string>

#include "rss/DocumentScope.h"
#include "xml/XmlNode.h"

// 8-bit XML text in the document's encoding, its references decoded.
std::wstring shownText(const std::string& text, const std::string& encoding);

// All of the element's character data, inside and after its children.
std::wstring wholeFieldText(const XmlNode& element, const DocumentScope& scope);

// Only the text before the first child: containers such as image or skipDays.
std::wstring ownFieldText(const XmlNode& element, const DocumentScope& scope);

// An address: blanks around it trimmed, a relative one resolved against
// `base`; empty when blank or longer than kMaxLinkLength.
std::wstring resolveLink(std::wstring text, const std::wstring& base);

// The element's whole text as an address, resolved in the element's scope.
std::wstring linkFieldText(const XmlNode& element, const DocumentScope& scope);

// An attribute's value as an address (Atom's href); empty when it is absent.
std::wstring linkAttribute(const XmlNode& element, const char* name, const DocumentScope& scope);

// An attribute's value as text; empty when it is absent.
std::wstring attributeText(const XmlNode& element, const char* name, const DocumentScope& scope);
