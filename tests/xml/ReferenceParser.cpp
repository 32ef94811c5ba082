#include "ReferenceParser.h"

#include "base/RSSException.h"
#include "xml/XmlLimits.h"

namespace {

const char* const kStackEmpty = "Tag stack is empty, probably because of not properly closed tag";

std::wstring bytesToWide(const std::string& bytes, size_t limit)
{
    std::wstring wide;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
    return wide;
}

std::wstring nameInMessage(const std::string& name)
{
    std::string shown;
    for (size_t i = 0; i < name.size() && name[i] != '\0'; ++i)
        shown.push_back(name[i]);
    return bytesToWide(shown, 31);
}

bool dropped(unsigned char c)
{
    return c == 9 || c == 10 || c == 13;
}

} // namespace

ReferenceParser::ReferenceParser(const std::string& text, XmlNode* document) : input(text)
{
    tagStack.push_back(document);
    while (position < input.size()) {
        const unsigned char c = static_cast<unsigned char>(input[position]);
        if (!dropped(c) || state == 2)
            act(c);
        if (position < input.size()) // a scan that ran out stays at the end
            ++position;
    }
    if (tagStack.empty())
        error(kStackEmpty, position);
    tagStack.pop_back();
}

void ReferenceParser::error(const std::string& message, size_t at)
{
    throw RSS::XMLException(bytesToWide(message, message.size()), static_cast<int32_t>(at));
}

XmlNode* ReferenceParser::innermost()
{
    if (tagStack.empty())
        error(kStackEmpty, position);
    return tagStack.back();
}

// Of the limits of xml/XmlLimits.h, small inputs reach two: depth here, attributes per element below.
void ReferenceParser::createElement(bool open)
{
    XmlNode* parent = innermost();
    if (tagStack.size() > Xml::kMaxDepth) // the name's bytes run unbroken up to here
        error("Elements nested more than " + std::to_string(Xml::kMaxDepth) + " deep", position - tagName.size());
    parent->children.push_back(std::make_unique<XmlNode>(tagName));
    if (open) {
        tagStack.push_back(parent->children.back().get());
        tailOwner = nullptr;
    } else {
        closed(parent->children.back().get());
    }
    tagName.clear();
}

void ReferenceParser::closed(XmlNode* node)
{
    tailOwner = tagStack.size() >= 2 ? node : nullptr;
    tailBuffer.clear();
}

void ReferenceParser::requireCloseAfterSlash()
{
    if (position + 1 >= input.size() || input[position + 1] != '>')
        error("Wrong no-end tag", position + 1);
    ++position;
}

void ReferenceParser::act(unsigned char c)
{
    if (state <= 4)
        actTag(c);
    else if (state <= 9)
        actAttribute(c);
    else
        actComment(c);
}

void ReferenceParser::actTag(unsigned char c)
{
    switch (state) {
    case 0:
        if (c == '<') {
            if (tailOwner)
                tailOwner->tail += tailBuffer;
            tailBuffer.clear();
            inText = false;
            state = 1;
        } else if (tailOwner) {
            tailBuffer.push_back(static_cast<char>(c));
        }
        break;
    case 1:
        if (c == '!' && position + 1 < input.size() && input[position + 1] == '-') {
            ++position;
            state = 10;
        } else if (c == '!' && input.compare(position + 1, 7, "[CDATA[") == 0) {
            readCdata();
            state = inText ? 3 : 0;
        } else if (c == '?') {
            readProcessingInstruction();
            state = inText ? 3 : 0;
        } else if (c == '!') {
            inText = false;
            skipDeclaration();
            state = 0;
        } else if (c == '/') {
            inText = false;
            state = 4;
        } else {
            inText = false;
            if (tagStack.size() == 1 && tagStack[0]->children.size() == 1)
                error("More than one root node", position);
            tagName.push_back(static_cast<char>(c));
            state = 2;
        }
        break;
    case 2:
        if (c == ' ' || dropped(c)) {
            createElement(true);
            state = 5;
        } else if (c == '>') {
            createElement(true);
            state = 3;
        } else if (c == '/') {
            createElement(false);
            requireCloseAfterSlash();
            state = 0;
        } else {
            tagName.push_back(static_cast<char>(c));
        }
        break;
    case 3:
        if (c == '<') {
            innermost()->text += textBuffer;
            textBuffer.clear();
            inText = true;
            state = 1;
        } else {
            textBuffer.push_back(static_cast<char>(c));
        }
        break;
    case 4:
        if (c == ' ') {
            error("\" \" in closing tag", position);
        } else if (c == '>') {
            if (tagStack.empty())
                error(kStackEmpty, position);
            if (tagStack.back()->name != tagName) {
                const std::wstring message = L"Wrong nesting, expecting " + nameInMessage(tagName) + L" but found " +
                                             nameInMessage(tagStack.back()->name);
                throw RSS::XMLException(message, static_cast<int32_t>(position));
            }
            XmlNode* element = tagStack.back();
            tagStack.pop_back();
            closed(element);
            tagName.clear();
            state = 0;
        } else {
            tagName.push_back(static_cast<char>(c));
        }
        break;
    }
}

void ReferenceParser::actAttribute(unsigned char c)
{
    switch (state) {
    case 5:
        if (c == '/') {
            if (tagStack.empty())
                error(kStackEmpty, position);
            XmlNode* element = tagStack.back();
            tagStack.pop_back();
            closed(element);
            requireCloseAfterSlash();
            state = 0;
        } else if (c == '>') {
            state = 3;
        } else if (c != ' ') {
            attributeName = std::string(1, static_cast<char>(c));
            state = 6;
        }
        break;
    case 6:
        if (c == ' ') {
            state = 5;
        } else if (c == '=') {
            attributeValue.clear();
            state = 7;
        } else if (c == '>') {
            state = 0;
        } else {
            attributeName.push_back(static_cast<char>(c));
        }
        break;
    case 7:
        if (c == '"')
            state = 8;
        else if (c == '\'')
            state = 9;
        else if (c != ' ')
            error("Attribute value didn't start with quote", position);
        break;
    case 8:
    case 9:
        if ((state == 8 && c == '"') || (state == 9 && c == '\'')) {
            XmlNode* element = innermost();
            element->attributes[attributeName] = attributeValue;
            if (element->attributes.size() > Xml::kMaxAttributesPerElement)
                error("More than " + std::to_string(Xml::kMaxAttributesPerElement) + " attributes in one element",
                      position);
            state = 5;
        } else if (state == 8 && c == '>') {
            error("Non-closed quote", position);
        } else {
            attributeValue.push_back(static_cast<char>(c));
        }
        break;
    }
}

void ReferenceParser::actComment(unsigned char c)
{
    switch (state) {
    case 10:
        if (c != '-')
            error("'-' in comment expected", position);
        state = 11;
        break;
    case 11:
        if (c == '-')
            state = 12;
        break;
    case 12:
        state = c == '-' ? 13 : 11;
        break;
    case 13:
        if (c != '>')
            error("Comment tag not closed properly ('>' missing)", position);
        state = inText ? 3 : 0;
        break;
    }
}

void ReferenceParser::skipDeclaration()
{
    size_t end = position + 1;
    while (end < input.size() && input[end] != '>' && input[end] != '[')
        ++end;
    if (end < input.size() && input[end] == '[') {
        while (end < input.size() && input[end] != ']')
            ++end;
        while (end < input.size() && input[end] != '>')
            ++end;
    }
    position = end;
}

void ReferenceParser::readCdata()
{
    const size_t start = position + 8;
    const size_t end = input.find("]]>", start);
    if (end == std::string::npos) {
        position = input.size();
        return;
    }
    std::string* target = inText ? &innermost()->text : tailOwner ? &tailOwner->tail : nullptr;
    if (target) {
        for (size_t i = start; i < end; ++i) {
            const unsigned char c = static_cast<unsigned char>(input[i]);
            if (c == '&')
                *target += "&amp;";
            else if (!dropped(c))
                target->push_back(static_cast<char>(c));
        }
    }
    position = end + 2;
}

void ReferenceParser::readProcessingInstruction()
{
    while (position < input.size() && input[position] != '>') {
        size_t p = position + 8;
        if (input.compare(position, 8, "encoding") == 0) {
            while (p < input.size() && input[p] == ' ')
                ++p;
            if (p < input.size() && input[p] == '=') {
                ++p;
                while (p < input.size() && input[p] == ' ')
                    ++p;
            } else {
                p = input.size();
            }
        }
        if (p + 1 < input.size() && input.compare(position, 8, "encoding") == 0 &&
            (input[p] == '"' || input[p] == '\'')) {
            const char quote = input[p];
            position = p + 1;
            while (position < input.size() && input[position] != quote && input[position] != '>')
                encoding.push_back(input[position++]);
            if (position < input.size())
                ++position;
        } else {
            ++position;
        }
    }
}
