#pragma once
// A deliberately plain parser for differential tests: one byte per step,
// every byte appended singly, each state a row of the transition table.
// Same contract as XmlParser: fills the document node, or throws RSS::XMLException.
#include <cstddef>
#include <string>
#include <vector>

#include "xml/XmlNode.h"

class ReferenceParser {
public:
    ReferenceParser(const std::string& input, XmlNode* document);

    std::string encoding;

private:
    void act(unsigned char c);
    void actTag(unsigned char c);
    void actAttribute(unsigned char c);
    void actComment(unsigned char c);
    void createElement(bool open);
    void closed(XmlNode* node);
    XmlNode* innermost();
    void requireCloseAfterSlash();
    void skipDeclaration();
    void readCdata();
    void readProcessingInstruction();
    [[noreturn]] void error(const std::string& message, size_t at);

    int state = 0;
    const std::string& input;
    size_t position = 0;
    std::vector<XmlNode*> tagStack;
    std::string tagName;
    std::string textBuffer;
    std::string attributeName;
    std::string attributeValue;
    bool inText = false;          // comments, instructions and CDATA do not end an element's text
    XmlNode* tailOwner = nullptr; // the child that closed last, whose tail is being read
    std::string tailBuffer;
};
