#include "xml/XmlParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "xml/XmlByteClass.h"
#include "xml/XmlError.h"
#include "xml/XmlLimits.h"
#include "xml/XmlMarkup.h"
#include "xml/XmlNodeBlocks.h"
#include "xml/XmlRunScan.h"

namespace {

using Xml::fail;

// Children reserved at an element's first when no sibling showed more: a small element's few.
const size_t kFewChildren = 4;
// At most this many reserved after a sibling's count: wastes at most 512 bytes per sixty-odd nodes.
const size_t kMaxChildrenGuess = 64;

const char* const kStackEmpty = "Tag stack is empty, probably because of not properly closed tag";

// Counts one more element or attribute of the document, within kMaxNodes.
void countNode(size_t& nodes, size_t position)
{
    if (++nodes > Xml::kMaxNodes)
        Xml::failOverLimit("More than ", Xml::kMaxNodes, " elements and attributes", position);
}

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

// One forward pass over the input. The loop drops TAB/LF/CR and hands every
// other byte to the handler of the current state. A state that accumulates
// (names, text, attribute values) scans its whole run at once, leaving the
// dropped bytes out, and acts on the byte that ends it. Where the next byte
// is at hand a handler goes straight on into the next state's handler; these
// calls only lead forward (Outside or Text into TagOpen into a tag name, InTag
// into an attribute), so the call depth stays fixed.
//
// An element's text is everything it holds before its first child or its end
// tag: text runs and CDATA sections, with comments and processing
// instructions in between. Each piece is added to the element's text when it
// ends ('<' after a run, "]]>" after a section); a run that the input ends
// cuts off is not. What follows a child's end tag inside its parent goes to
// that child's tail in the same way.
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
            if (Xml::hasClass(c, Xml::kDropped))
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
            return startTagName(pos_, pos_);
        case State::Text:
            return text();
        case State::EndTagName:
            return endTagName(pos_);
        case State::InTag:
            return inTag(c);
        case State::AttributeName:
            return attributeName(pos_, pos_);
        case State::AttributeValueStart:
            return attributeValueStart(c);
        case State::DoubleQuotedValue:
            return quotedValue('"', Xml::kDoubleQuotedEnds);
        case State::SingleQuotedValue:
            return quotedValue('\'', Xml::kSingleQuotedEnds);
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

    // The byte at the cursor, when there is one that is not dropped.
    bool atByte(char& c) const
    {
        if (pos_ >= size_ || Xml::hasClass(data_[pos_], Xml::kDropped))
            return false;
        c = data_[pos_];
        return true;
    }

    // Scans from `from` to the first byte of `ends` (or the end of input) and
    // leaves the cursor there. The run started at `pieceStart`; its pieces
    // before each dropped byte go to `buffer`, and the start of the last piece,
    // which still lies in the input up to the cursor, is returned.
    size_t scanRun(std::string& buffer, size_t pieceStart, size_t from, const Xml::RunEnds& ends)
    {
        pos_ = Xml::findRunEnd(data_, from, size_, ends);
        while (pos_ < size_ && Xml::hasClass(data_[pos_], Xml::kDropped)) {
            Xml::checkTextLength(buffer.size() + (pos_ - pieceStart), pos_);
            buffer.append(data_ + pieceStart, pos_ - pieceStart);
            pieceStart = pos_ + 1;
            // Line breaks come with indentation: step over the whole dropped run at once.
            while (pieceStart < size_ && Xml::hasClass(data_[pieceStart], Xml::kDropped))
                ++pieceStart;
            pos_ = Xml::findRunEnd(data_, pieceStart, size_, ends);
        }
        Xml::checkTextLength(buffer.size() + (pos_ - pieceStart), pos_);
        return pieceStart;
    }

    // The whole run scanned by scanRun, sized exactly; empties `buffer`.
    std::string takeRun(std::string& buffer, size_t lastPiece)
    {
        if (buffer.empty())
            return std::string(data_ + lastPiece, pos_ - lastPiece);
        buffer.append(data_ + lastPiece, pos_ - lastPiece);
        std::string whole(buffer);
        buffer.clear();
        return whole;
    }

    // Adds the run scanned by scanRun to `target`; empties `buffer`.
    void appendRun(std::string& target, std::string& buffer, size_t lastPiece)
    {
        Xml::checkTextLength(target.size() + buffer.size() + (pos_ - lastPiece), pos_);
        if (target.empty()) {
            target = takeRun(buffer, lastPiece);
            return;
        }
        target.append(buffer).append(data_ + lastPiece, pos_ - lastPiece);
        buffer.clear();
    }

    // Where parsing goes on after a comment, an instruction or a CDATA section.
    State afterMarkup() const { return inText_ ? State::Text : State::Outside; }

    // Whether the input from `start` up to the cursor holds exactly `bytes`.
    bool inputEquals(const std::string& bytes, size_t start) const
    {
        return bytes.size() == pos_ - start && std::memcmp(bytes.data(), data_ + start, bytes.size()) == 0;
    }

    // Where a CDATA section's content goes: the open element's text, or the
    // tail of the child that closed last; nowhere outside the top-level element.
    std::string* cdataTarget() const
    {
        if (inText_)
            return &innermost()->text;
        return tailOwner_ ? &tailOwner_->tail : nullptr;
    }

    // After `node` closed: text up to the next tag is its tail, unless it was
    // the top-level element.
    void closed(XmlNode* node)
    {
        tailOwner_ = stack_.size() >= 2 ? node : nullptr;
        if (!node->children.empty())
            siblingChildren_ = std::min(node->children.size(), kMaxChildrenGuess);
    }

    XmlNode* innermost() const
    {
        if (stack_.empty())
            fail(kStackEmpty, pos_);
        return stack_.back();
    }

    // The element named by the input from `nameStart` up to the cursor.
    void createElement(size_t nameStart, bool open)
    {
        XmlNode* parent = innermost();
        countNode(nodes_, nameStart);
        if (stack_.size() > Xml::kMaxDepth) // the document itself is at the bottom
            Xml::failOverLimit("Elements nested more than ", Xml::kMaxDepth, " deep", nameStart);
        if (parent->children.empty()) // items of a feed have alike children: one allocation each
            parent->children.reserve(std::max(siblingChildren_, kFewChildren));
        parent->children.push_back(
            std::unique_ptr<XmlNode>(new (blocks_) XmlNode(std::string(data_ + nameStart, pos_ - nameStart))));
        XmlNode* child = parent->children.back().get();
        if (open) {
            stack_.push_back(child);
            tailOwner_ = nullptr;
        } else {
            closed(child);
        }
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
        if (tailOwner_)
            return tail();
        const void* open = std::memchr(data_ + pos_, '<', size_ - pos_);
        if (!open) {
            pos_ = size_;
            return;
        }
        inText_ = false;
        moveTo(State::TagOpen, static_cast<size_t>(static_cast<const char*>(open) - data_) + 1);
        char c;
        if (atByte(c))
            tagOpen(c);
    }

    // Tags on lines of their own leave nothing here: the main loop has
    // skipped the line break and indentation, so no run is scanned.
    void tail()
    {
        if (data_[pos_] != '<') {
            const size_t lastPiece = scanRun(text_, pos_, pos_, Xml::kTextEnds);
            if (pos_ >= size_)
                return;
            appendRun(tailOwner_->tail, text_, lastPiece);
        }
        openTag();
    }

    // At the '<' after a text: on into the tag.
    void openTag()
    {
        moveTo(State::TagOpen, pos_ + 1);
        char c;
        if (atByte(c))
            tagOpen(c);
    }

    void tagOpen(char c)
    {
        if (c == '!' && pos_ + 1 < size_ && data_[pos_ + 1] == '-')
            return moveTo(State::CommentOpen, pos_ + 2);
        if (c == '!' && Xml::cdataStartsAt(data_, size_, pos_))
            return moveTo(afterMarkup(), Xml::readCdata(data_, size_, pos_, cdataTarget(), cdataAmpersands_));
        if (c == '?')
            return moveTo(afterMarkup(), Xml::readProcessingInstruction(data_, size_, pos_, encoding_));
        inText_ = false; // anything else ends the text
        if (c == '!')
            return moveTo(State::Outside, Xml::skipDeclaration(data_, size_, pos_));
        if (c == '/') {
            state_ = State::EndTagName;
            return endTagName(pos_ + 1);
        }
        if (stack_.size() == 1 && !stack_.front()->children.empty())
            fail("More than one root node", pos_);
        state_ = State::StartTagName;
        startTagName(pos_, pos_ + 1); // whatever follows '<' starts the name, even a space or '>'
    }

    // TAB, LF and CR end the name as a space does: attributes may start on the next line.
    void startTagName(size_t nameStart, size_t from)
    {
        pos_ = Xml::findRunEnd(data_, from, size_, Xml::kStartNameEnds);
        Xml::checkTextLength(pos_ - nameStart, pos_);
        if (pos_ >= size_)
            return;
        const char c = data_[pos_];
        createElement(nameStart, c != '/');
        if (c == '/')
            return endEmptyElement();
        moveTo(c == '>' ? State::Text : State::InTag, pos_ + 1);
    }

    void text()
    {
        if (data_[pos_] != '<') { // as in tail()
            const size_t lastPiece = scanRun(text_, pos_, pos_, Xml::kTextEnds);
            if (pos_ >= size_)
                return; // text that runs to the end is never stored
            appendRun(innermost()->text, text_, lastPiece);
        }
        inText_ = true;
        openTag();
    }

    void endTagName(size_t nameStart)
    {
        const size_t lastPiece = scanRun(tagName_, nameStart, nameStart, Xml::kEndNameEnds);
        if (pos_ >= size_)
            return;
        if (data_[pos_] == ' ')
            fail("\" \" in closing tag", pos_);
        XmlNode* open = innermost();
        if (!tagName_.empty() || !inputEquals(open->name, lastPiece)) {
            const std::string name = takeRun(tagName_, lastPiece);
            if (name != open->name)
                Xml::failWrongNesting(name, open->name, pos_);
        }
        stack_.pop_back();
        closed(open);
        moveTo(State::Outside, pos_ + 1);
    }

    void inTag(char c)
    {
        if (c == '/') {
            XmlNode* element = innermost();
            stack_.pop_back();
            closed(element);
            return endEmptyElement();
        }
        if (c == '>')
            return moveTo(State::Text, pos_ + 1);
        if (c == ' ')
            return moveTo(State::InTag, pos_ + 1);
        attributeName_.clear(); // the name starts afresh with this byte
        state_ = State::AttributeName;
        attributeName(pos_, pos_ + 1);
    }

    void attributeName(size_t nameStart, size_t from)
    {
        const size_t lastPiece = scanRun(attributeName_, nameStart, from, Xml::kAttrNameEnds);
        if (pos_ >= size_)
            return;
        const char c = data_[pos_];
        // A name not followed by '=' is dropped; after a '>' here the element
        // stays open but its text is not collected.
        if (c == ' ' || c == '>')
            return moveTo(c == ' ' ? State::InTag : State::Outside, pos_ + 1);
        attributeName_.append(data_ + lastPiece, pos_ - lastPiece); // at the '=': the value needs it
        attributeValue_.clear();
        moveTo(State::AttributeValueStart, pos_ + 1);
        char next;
        if (atByte(next))
            attributeValueStart(next);
    }

    void attributeValueStart(char c)
    {
        if (c == ' ')
            return moveTo(State::AttributeValueStart, pos_ + 1);
        if (c != '"' && c != '\'')
            fail("Attribute value didn't start with quote", pos_);
        moveTo(c == '"' ? State::DoubleQuotedValue : State::SingleQuotedValue, pos_ + 1);
        quotedValue(c, c == '"' ? Xml::kDoubleQuotedEnds : Xml::kSingleQuotedEnds);
    }

    void quotedValue(char quote, const Xml::RunEnds& ends)
    {
        const size_t lastPiece = scanRun(attributeValue_, pos_, pos_, ends);
        if (pos_ >= size_)
            return;
        if (data_[pos_] != quote)
            fail("Non-closed quote", pos_); // only a '>' in a double-quoted value
        XmlNode* element = innermost();
        if (element->attributes.insert_or_assign(attributeName_, takeRun(attributeValue_, lastPiece)).second)
            countAttribute(*element);
        moveTo(State::InTag, pos_ + 1);
    }

    // After a new attribute of `element`, at its closing quote.
    void countAttribute(const XmlNode& element)
    {
        countNode(nodes_, pos_);
        if (element.attributes.size() > Xml::kMaxAttributesPerElement)
            Xml::failOverLimit("More than ", Xml::kMaxAttributesPerElement, " attributes in one element", pos_);
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
        moveTo(afterMarkup(), pos_ + 1);
    }

    const char* data_;
    size_t size_;
    size_t pos_ = 0;
    State state_ = State::Outside;
    std::vector<XmlNode*> stack_;  // open elements, innermost last; not owning
    bool inText_ = false;          // the innermost element's text is still being read
    XmlNode* tailOwner_ = nullptr; // the child whose tail is being read; not owning
    std::string tagName_;          // earlier pieces of an end tag's name broken by TAB/LF/CR
    std::string text_;             // the same for an element's text
    std::string attributeName_;
    std::string attributeValue_;
    std::string& encoding_;
    Xml::NodeBlocks blocks_;
    size_t nodes_ = 0;           // elements and attributes so far
    size_t siblingChildren_ = 0; // children of the element with children that closed last
    size_t cdataAmpersands_ = 0; // each stored as "&amp;"
};

} // namespace

XmlParser::XmlParser(const std::string& input, XmlNode* document)
{
    Machine(input, document, encoding).run();
}
