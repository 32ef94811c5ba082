// XmlParser on arbitrary bytes. Every input either parses or fails with
// RSS::XMLException at a position within the input (at most its length); no
// other exception, crash, leak or sanitizer report. Parsing and destroying the
// tree run on a small stack, so stack use that grows with the nesting depth
// shows up as a crash. The result must also equal the plain byte-by-byte
// reference parser's: tree, encoding, message and position.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "ParseOutcome.h"
#include "ReferenceParser.h"
#include "SmallStack.h"
#include "base/RSSException.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

namespace {

// A recursive destructor needs about a hundred bytes per level under ASan:
// under a thousand levels of nesting overflow this, while the parser's own
// fixed needs (and an exception's unwinding) fit easily.
const size_t kSmallStack = 64 * 1024;

// Starting a thread costs more than parsing a small input. Nesting needs a
// '<' per level, and a hundred levels fit the small stack even with
// recursion, so inputs with fewer '<' than this run on the fuzzer's thread.
const size_t kDeepCandidate = 128;

// Deep inputs make the reference comparison's recursive tree dump slow; the
// small-stack check above covers them.
const size_t kMaxCompared = 64 * 1024;

void parseAndDestroy(const std::string& input)
{
    XmlNode document;
    try {
        XmlParser parser(input, &document);
    } catch (const RSS::XMLException& e) {
        QF_FUZZ_CHECK(e.position >= 0 && static_cast<size_t>(e.position) <= input.size(),
                      "position %d, input of %zu bytes", static_cast<int>(e.position), input.size());
        QF_FUZZ_CHECK(!e.message.empty(), "empty message at %d", static_cast<int>(e.position));
    }
    // `document` and the whole tree are destroyed here, still on the small stack.
}

std::string narrow(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text)
        bytes.push_back(c < 128 ? static_cast<char>(c) : '?');
    return bytes;
}

void compareWithReference(const std::string& input)
{
    const ParseOutcome fast = parseWith<XmlParser>(input);
    const ParseOutcome plain = parseWith<ReferenceParser>(input);
    QF_FUZZ_CHECK(fast.failed == plain.failed, "failed: %d, reference %d", fast.failed, plain.failed);
    QF_FUZZ_CHECK(fast.position == plain.position, "position %d, reference %d", static_cast<int>(fast.position),
                  static_cast<int>(plain.position));
    QF_FUZZ_CHECK(fast.message == plain.message, "message '%s', reference '%s'", narrow(fast.message).c_str(),
                  narrow(plain.message).c_str());
    QF_FUZZ_CHECK(fast.encoding == plain.encoding, "encoding '%s', reference '%s'", escapeBytes(fast.encoding).c_str(),
                  escapeBytes(plain.encoding).c_str());
    QF_FUZZ_CHECK(fast.tree == plain.tree, "tree\n  %s\nreference\n  %s", fast.tree.c_str(), plain.tree.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (static_cast<size_t>(std::count(input.begin(), input.end(), '<')) >= kDeepCandidate)
        runOnSmallStack(kSmallStack, [&input] { parseAndDestroy(input); });
    else
        parseAndDestroy(input);
    if (size <= kMaxCompared)
        compareWithReference(input);
    return 0;
}
