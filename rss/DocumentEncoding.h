#pragma once
// Which encoding a document's text is read in, and the documents rewritten
// as UTF-8 before they are parsed.
#include <cstddef>
#include <cstdint>
#include <string>

// A UTF-8 byte-order mark wins over the declared name; a document that
// declares none and whose bytes are not UTF-8 is read as windows-1252, as
// feed readers and browsers read such documents.
std::string documentEncoding(const std::string& body, const std::string& declared);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool isUtf8(const char* data, size_t size);

// A body as the parser is given it. One that the parser cannot read byte by
// byte is rewritten as UTF-8 after a UTF-8 byte-order mark (which then wins
// over the declaration it still holds): one that starts with a UTF-16
// byte-order mark (either byte order), or whose XML declaration names
// ISO-2022-JP, whose two-byte characters are made of ASCII bytes such as '<',
// '&' and '"'. Any other body is parsed as it is.
class ParsableDocument {
public:
    explicit ParsableDocument(std::string body);

    const std::string& text() const { return text_; }
    size_t bodySize() const { return bodySize_; }
    // Where in the body the character holding byte `position` of the text starts.
    int32_t bodyPosition(int32_t position) const;
    // Lets the text and the body go.
    void release();

private:
    enum class Form { AsIs, Utf16Le, Utf16Be, Iso2022Jp };

    Form form_ = Form::AsIs;
    std::string text_;
    std::string body_; // only when the text is its UTF-8 form
    size_t bodySize_;
};
