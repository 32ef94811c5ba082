#include "xml/XmlParser.h"

#include <cstring>
#include <vector>

#include "xml/XmlByteClass.h"
#include "xml/XmlError.h"
#include "xml/XmlMarkup.h"

namespace {

using xml::fail;

const char* const kStackEmpty = "Tag stack is empty, probably because of not properly closed tag";

enum class State {
    Outside,
    TagOpen,
    StartTagName,
    Text,
    EndTagName,
    InTag,
    AttributeName,
    AttributeValueStart,
    DoubleQuotedValue,
    SingleQuotedValue,
    CommentOpen,
    Comment,
    CommentDash,
    CommentEnd,
};

// One forward pass over the input. Each handler acts on the byte at the
// cursor; accumulating states take a whole run of ordinary bytes at once and
// leave the cursor on the byte that ended it, which the loop handles next.
class Machine {
public:
    Machine(const std::string& input, XmlNode* document, std::string& encoding)
        : data_(input.data()), size_(input.size()), encoding_(encoding)
    {
        stack_.reserve(32);
        stack_.push_back(document);
    }

    void run()
    {
        while (pos_ < size_) {
            const char c = data_[pos_];
            if (xml::hasClass(c, xml::kDropped))
                ++pos_;
            else
                step(c);
        }
        if (stack_.empty())
            fail(kStackEmpty, pos_);
        stack_.pop_back();
    }

private:
    void step(char c)
    {
        switch (state_) {
        case State::Outside:
            return outside();
        case State::TagOpen:
            return tagOpen(c);
        case State::StartTagName:
            return startTagName(c);
        case State::Text:
            return text(c);
        case State::EndTagName:
            return endTagName(c);
        case State::InTag:
            return inTag(c);
        case State::AttributeName:
            return attributeName(c);
        case State::AttributeValueStart:
            return attributeValueStart(c);
        case State::DoubleQuotedValue:
            return quotedValue(c, '"', xml::kEndsDoubleQuoted);
        case State::SingleQuotedValue:
            return quotedValue(c, '\'', xml::kEndsSingleQuoted);
        case State::CommentOpen:
            return commentOpen(c);
        case State::Comment:
            return comment();
        case State::CommentDash:
            return commentDash(c);
        case State::CommentEnd:
            return commentEnd(c);
        }
    }

    void moveTo(State next, size_t pos)
    {
        state_ = next;
        pos_ = pos;
    }

    // Appends the run up to the next byte of `ends` (or TAB/LF/CR) and stops on it.
    void collect(std::string& buffer, uint8_t ends)
    {
        const size_t end = xml::findClass(data_, pos_, size_, ends | xml::kDropped);
        buffer.append(data_ + pos_, end - pos_);
        pos_ = end;
    }

    XmlNode* innermost() const
    {
        if (stack_.empty())
            fail(kStackEmpty, pos_);
        return stack_.back();
    }

    void createElement(bool open)
    {
        XmlNode* parent = innermost();
        parent->children.push_back(std::make_unique<XmlNode>(std::string(tagName_)));
        if (open)
            stack_.push_back(parent->children.back().get());
        tagName_.clear();
    }

    // After the '/' of an empty element: the very next byte must be its '>'.
    void endEmptyElement()
    {
        const size_t next = pos_ + 1;
        if (next >= size_ || data_[next] != '>')
            fail("Wrong no-end tag", next);
        moveTo(State::Outside, next + 1);
    }

    void outside()
    {
        const void* open = std::memchr(data_ + pos_, '<', size_ - pos_);
        if (open)
            moveTo(State::TagOpen, static_cast<size_t>(static_cast<const char*>(open) - data_) + 1);
        else
            pos_ = size_;
    }

    void tagOpen(char c)
    {
        if (c == '!' && pos_ + 1 < size_ && data_[pos_ + 1] == '-')
            return moveTo(State::CommentOpen, pos_ + 2);
        if (c == '!')
            return moveTo(State::Outside, xml::skipDeclaration(data_, size_, pos_));
        if (c == '/')
            return moveTo(State::EndTagName, pos_ + 1);
        if (c == '?')
            return moveTo(State::Outside, xml::readProcessingInstruction(data_, size_, pos_, encoding_));
        if (stack_.size() == 1 && !stack_.front()->children.empty())
            fail("More than one root node", pos_);
        tagName_.push_back(c); // whatever follows '<' starts the name, even a space or '>'
        moveTo(State::StartTagName, pos_ + 1);
    }

    void startTagName(char c)
    {
        if (c == ' ') {
            createElement(true);
            return moveTo(State::InTag, pos_ + 1);
        }
        if (c == '>') {
            createElement(true);
            return moveTo(State::Text, pos_ + 1);
        }
        if (c == '/') {
            createElement(false);
            return endEmptyElement();
        }
        collect(tagName_, xml::kEndsStartName);
    }

    void text(char c)
    {
        if (c == '>')
            fail("\">\" in tag value", pos_);
        if (c != '<')
            return collect(text_, xml::kEndsText);
        XmlNode* element = innermost();
        if (!text_.empty())
            element->text = std::string(text_); // a fresh copy is sized exactly
        text_.clear();
        moveTo(State::TagOpen, pos_ + 1);
    }

    void endTagName(char c)
    {
        if (c == ' ')
            fail("\" \" in closing tag", pos_);
        if (c != '>')
            return collect(tagName_, xml::kEndsEndName);
        const XmlNode* open = innermost();
        if (open->name != tagName_)
            xml::failWrongNesting(tagName_, open->name, pos_);
        stack_.pop_back();
        tagName_.clear();
        moveTo(State::Outside, pos_ + 1);
    }

    void inTag(char c)
    {
        if (c == '/') {
            innermost();
            stack_.pop_back();
            return endEmptyElement();
        }
        if (c == '>')
            return moveTo(State::Text, pos_ + 1);
        if (c != ' ')
            attributeName_.assign(1, c);
        moveTo(c == ' ' ? State::InTag : State::AttributeName, pos_ + 1);
    }

    void attributeName(char c)
    {
        if (c == ' ')
            return moveTo(State::InTag, pos_ + 1); // a name without '=' is dropped
        if (c == '>')
            return moveTo(State::Outside, pos_ + 1); // the element stays open without text
        if (c != '=')
            return collect(attributeName_, xml::kEndsAttrName);
        attributeValue_.clear();
        moveTo(State::AttributeValueStart, pos_ + 1);
    }

    void attributeValueStart(char c)
    {
        if (c == '"')
            return moveTo(State::DoubleQuotedValue, pos_ + 1);
        if (c == '\'')
            return moveTo(State::SingleQuotedValue, pos_ + 1);
        if (c != ' ')
            fail("Attribute value didn't start with quote", pos_);
        ++pos_;
    }

    void quotedValue(char c, char quote, uint8_t ends)
    {
        if (c == quote) {
            innermost()->attributes.insert_or_assign(attributeName_, attributeValue_);
            return moveTo(State::InTag, pos_ + 1);
        }
        if (c == '>' && quote == '"')
            fail("Non-closed quote", pos_);
        collect(attributeValue_, ends);
    }

    void commentOpen(char c)
    {
        if (c != '-')
            fail("'-' in comment expected", pos_);
        moveTo(State::Comment, pos_ + 1);
    }

    void comment()
    {
        const void* dash = std::memchr(data_ + pos_, '-', size_ - pos_);
        if (dash)
            moveTo(State::CommentDash, static_cast<size_t>(static_cast<const char*>(dash) - data_) + 1);
        else
            pos_ = size_;
    }

    void commentDash(char c) { moveTo(c == '-' ? State::CommentEnd : State::Comment, pos_ + 1); }

    void commentEnd(char c)
    {
        if (c != '>')
            fail("Comment tag not closed properly ('>' missing)", pos_);
        moveTo(State::Outside, pos_ + 1);
    }

    const char* data_;
    size_t size_;
    size_t pos_ = 0;
    State state_ = State::Outside;
    std::vector<XmlNode*> stack_; // open elements, innermost last; not owning
    std::string tagName_;
    std::string text_;
    std::string attributeName_;
    std::string attributeValue_;
    std::string& encoding_;
};

} // namespace

XmlParser::XmlParser(const std::string& input, XmlNode* document)
{
    Machine(input, document, encoding).run();
}
