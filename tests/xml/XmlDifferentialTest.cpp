// The fast parser against the plain byte-by-byte reference: same tree,
// encoding, message and position on random and mutated inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "ParseOutcome.h"
#include "ReferenceParser.h"
#include "xml/XmlParser.h"

namespace {

class Rng {
public:
    explicit Rng(uint32_t seed) : engine_(seed) {}
    size_t below(size_t n) { return engine_() % n; }
    bool percent(unsigned chance) { return below(100) < chance; }
    template <size_t N>
    const char* pick(const char* const (&items)[N])
    {
        return items[below(N)];
    }

private:
    std::mt19937 engine_; // its output sequence is fixed by the standard
};

const char* const kTokens[] = {
    "<",
    ">",
    "/",
    "!",
    "-",
    "?",
    "=",
    "\"",
    "'",
    " ",
    "\t",
    "\n",
    "\r",
    "]",
    "[",
    "a",
    "b",
    "ab",
    "x:y",
    "&amp;",
    "\xE9",
    "<a>",
    "</a>",
    "<b>",
    "</b>",
    "<a/>",
    "<b c='1'>",
    "</>",
    "<!--",
    "-->",
    "--",
    "<![CDATA[",
    "]]>",
    "<?xml",
    "?>",
    "<!DOCTYPE",
    "encoding=\"",
    "iso-8859-2",
    "<item>",
    "</item>",
    "<a b=\"2\" c='3'/>",
    "Lorem ipsum dolor sit amet, consectetur ",
    "<title>",
    "</title>",
};

const char* const kNames[] = {"a",   "b", "item", "title", "x:y", "channel", "averyveryverylongelementnamethatgoeson",
                              "\xE9"};
const char* const kWords[] = {"Lorem", "ipsum", "&amp;", "dolor sit amet", "x>y", "\xB1\xEA", "-", "]", "'", "\""};
const char* const kBlanks[] = {" ", "  ", "\n", "\r\n", "\t", ""};

std::string tokenSoup(Rng& rng)
{
    std::string out;
    const size_t count = 1 + rng.below(40);
    for (size_t i = 0; i < count; ++i)
        out += rng.pick(kTokens);
    return out;
}

std::string text(Rng& rng)
{
    std::string out;
    const size_t words = rng.below(12);
    for (size_t i = 0; i < words; ++i)
        out += std::string(rng.pick(kWords)) + rng.pick(kBlanks);
    return out;
}

void element(Rng& rng, int depth, std::string& out)
{
    const std::string name = rng.pick(kNames);
    out += "<" + name;
    const size_t attributes = rng.below(3);
    for (size_t i = 0; i < attributes; ++i) {
        const char* quote = rng.percent(50) ? "\"" : "'";
        out += std::string(rng.pick(kBlanks)) + " " + rng.pick(kNames) + "=" + quote + rng.pick(kWords) + quote;
    }
    if (rng.percent(20)) {
        out += rng.percent(50) ? "/>" : " />";
        return;
    }
    out += ">" + text(rng);
    const size_t children = depth < 4 ? rng.below(4) : 0;
    for (size_t i = 0; i < children; ++i) {
        if (rng.percent(15))
            out += "<!-- " + text(rng) + " -->";
        if (rng.percent(10))
            out += "<![CDATA[" + text(rng) + "]]>";
        element(rng, depth + 1, out);
        out += text(rng);
    }
    out += "</" + name + ">" + rng.pick(kBlanks);
}

std::string document(Rng& rng)
{
    std::string out;
    if (rng.percent(50))
        out += "<?xml version=\"1.0\" encoding=\"" + std::string(rng.percent(50) ? "utf-8" : "iso-8859-2") + "\"?>";
    out += rng.pick(kBlanks);
    if (rng.percent(20))
        out += "<!DOCTYPE rss [<!ENTITY e \"v\">]>";
    if (rng.percent(20))
        out += "<!-- feed -->";
    element(rng, 0, out);
    return out;
}

void mutate(Rng& rng, std::string& input)
{
    const size_t at = input.empty() ? 0 : rng.below(input.size() + 1);
    switch (rng.below(5)) {
    case 0:
        input.insert(at, rng.pick(kTokens));
        break;
    case 1:
        input.erase(at, 1 + rng.below(6));
        break;
    case 2:
        if (at < input.size())
            input[at] = rng.pick(kTokens)[0];
        break;
    case 3:
        input.insert(at, input.substr(rng.below(input.size() + 1), rng.below(30)));
        break;
    default:
        input.resize(at);
    }
}

std::string describe(const ParseOutcome& outcome)
{
    std::string message;
    for (wchar_t c : outcome.message)
        message += static_cast<char>(c);
    return outcome.tree + " | encoding " + escapeBytes(outcome.encoding) + " | " +
           (outcome.failed ? escapeBytes(message) + " @" + std::to_string(outcome.position) : "ok");
}

// True when both parsers agree; records the input on the first disagreement.
bool agree(const std::string& input)
{
    const std::string fast = describe(parseWith<XmlParser>(input));
    const std::string reference = describe(parseWith<ReferenceParser>(input));
    EXPECT_EQ(fast, reference) << "input: " << escapeBytes(input);
    return fast == reference;
}

TEST(XmlDifferential, TokenSoup)
{
    Rng rng(20240611);
    size_t failures = 0;
    for (int i = 0; i < 4000 && failures < 5; ++i)
        failures += agree(tokenSoup(rng)) ? 0 : 1;
    EXPECT_EQ(failures, 0u);
}

TEST(XmlDifferential, MutatedDocuments)
{
    Rng rng(7);
    size_t failures = 0, succeeded = 0;
    for (int i = 0; i < 4000 && failures < 5; ++i) {
        std::string input = document(rng);
        const size_t mutations = rng.below(4);
        for (size_t m = 0; m < mutations; ++m)
            mutate(rng, input);
        failures += agree(input) ? 0 : 1;
        succeeded += parseWith<XmlParser>(input).failed ? 0 : 1;
    }
    EXPECT_EQ(failures, 0u);
    // Both outcomes must be well represented for the comparison to mean much.
    EXPECT_GT(succeeded, 1000u);
    EXPECT_LT(succeeded, 3800u);
}

TEST(XmlDifferential, EveryPrefixOfADocument)
{
    Rng rng(99);
    std::string input;
    while (input.size() < 1500)
        input = document(rng);
    size_t failures = 0;
    for (size_t length = 0; length <= input.size() && failures < 5; ++length)
        failures += agree(input.substr(0, length)) ? 0 : 1;
    EXPECT_EQ(failures, 0u);
}

} // namespace
