// Every failure: its exact message, the byte offset where it is found, and
// the tree built up to that point.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ParseOutcome.h"
#include "xml/XmlError.h"
#include "xml/XmlParser.h"

namespace {

const std::wstring kStackEmpty = L"Tag stack is empty, probably because of not properly closed tag";
const std::wstring kMoreRoots = L"More than one root node";
const std::wstring kNoEndTag = L"Wrong no-end tag";

struct ErrorCase {
    const char* name;
    std::string input;
    std::wstring message;
    int32_t position;
    std::string tree = "*"; // "*": not checked
};

void expectErrors(const std::vector<ErrorCase>& cases)
{
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ParseOutcome found = parseWith<XmlParser>(c.input);
        ASSERT_TRUE(found.failed);
        EXPECT_EQ(found.message, c.message);
        EXPECT_EQ(found.position, c.position);
        if (c.tree != "*") {
            EXPECT_EQ(found.tree, c.tree);
        }
    }
}

TEST(XmlParserErrors, MarkupErrorsAtTheOffendingByte)
{
    expectErrors({
        {"space in an end tag", "</a >", L"\" \" in closing tag", 3, ""},
        {"unquoted value", "<a b=1>", L"Attribute value didn't start with quote", 5, "(a)"},
        {"> in a double-quoted value", "<a b=\"x>y\">", L"Non-closed quote", 7, "(a)"},
        {"single dash after <!", "<!-x-->", L"'-' in comment expected", 3},
        {"position counts dropped bytes", "<!-\r\nx", L"'-' in comment expected", 5},
        {"two dashes inside a comment", "<!-- x -- y -->", L"Comment tag not closed properly ('>' missing)", 9},
        {"no-end tag with a space", "<a/ >", kNoEndTag, 3, "(a)"},
        {"no-end tag at the end of input", "<a/", kNoEndTag, 3, "(a)"},
        {"look-ahead after / does not drop", "<a/\n>", kNoEndTag, 3},
        {"no-end tag after attributes", "<a b='1'/ >", kNoEndTag, 9, "(a[b=1])"},
        {"no-end tag after attributes at the end", "<r><a b='1'/", kNoEndTag, 12, "(r(a[b=1]))"},
        {"element created before the check", "<a><b/x", kNoEndTag, 6, "(a(b))"},
    });
}

TEST(XmlParserErrors, RootAndStackErrors)
{
    expectErrors({
        {"second root", "<a/><b/>", kMoreRoots, 5, "(a)"},
        {"second root after a closed first", "<a></a><b/>", kMoreRoots, 8, "(a)"},
        {"position skips dropped bytes after <", "<a/>\n<\nb/>", kMoreRoots, 7, "(a)"},
        {"second root with a space name", "<a/>< b/>", kMoreRoots, 5},
        {"empty end tag closes the document", "<a/></>", kStackEmpty, 7, "(a)"},
        {"empty end tag with no root at all", "</>", kStackEmpty, 3, ""},
        {"start tag after the document is closed", "<a/></><b/>", kStackEmpty, 9, "(a)"},
        {"start tag with > after the document is closed", "<a/></><b>", kStackEmpty, 9, "(a)"},
        {"start tag with a space after the document is closed", "<a/></><b c='1'>", kStackEmpty, 9, "(a)"},
        {"end tag after the document is closed", "</></>", kStackEmpty, 5, ""},
        {"declaration running to the end", "<a/></><!DOCTYPE x", kStackEmpty, 18},
        {"instruction running to the end", "<a/></><?xml ", kStackEmpty, 13},
        {"comment running to the end", "<a/></><!-- x", kStackEmpty, 13},
        {"trailing line breaks counted", "<a/></>\r\n", kStackEmpty, 9},
    });
}

TEST(XmlParserErrors, WrongNestingNamesBothTags)
{
    const std::string open40 = std::string(9, 'o') + "abcdefghijklmnopqrstuvwxyz_0123";
    const std::string end35 = "E" + std::string(34, 'e');
    const std::wstring open31 = std::wstring(9, L'o') + L"abcdefghijklmnopqrstuv";
    const std::wstring end31 = L"E" + std::wstring(30, L'e');
    const std::string exact31(31, 'x');
    const std::string nested = "<" + open40 + "><" + exact31 + "></" + end35 + ">";
    expectErrors({
        {"end tag name first", "<a></b>", L"Wrong nesting, expecting b but found a", 6, "(a)"},
        {"position counts dropped bytes", "<a>\n\t</b\r>", L"Wrong nesting, expecting b but found a", 9},
        {"top level end tag against the document", "</b>", L"Wrong nesting, expecting b but found ", 3},
        {"names longer than 31 bytes are cut", "<" + open40 + "></" + end35 + ">",
         L"Wrong nesting, expecting " + end31 + L" but found " + open31, static_cast<int32_t>(open40.size() + 39),
         "(" + open40 + ")"},
        {"31 bytes shown whole", "<" + exact31 + "></" + exact31 + "y>",
         L"Wrong nesting, expecting " + std::wstring(31, L'x') + L" but found " + std::wstring(31, L'x'), 67},
        {"inner element is the one compared", nested,
         L"Wrong nesting, expecting " + end31 + L" but found " + std::wstring(31, L'x'),
         static_cast<int32_t>(nested.size() - 1)},
        {"bytes widen to the same code", "<\xE9t\xFF></\xE9t>",
         L"Wrong nesting, expecting \u00E9t but found \u00E9t\u00FF", 9},
        {"case matters", "<A></a>", L"Wrong nesting, expecting a but found A", 6},
        {"names cut at a NUL byte", std::string("<o\0pen></e\0nd>", 14), L"Wrong nesting, expecting e but found o", 13},
        {"NUL before the 31st byte", "<" + open40 + "></" + std::string(3, 'e') + std::string(1, '\0') + end35 + ">",
         L"Wrong nesting, expecting eee but found " + open31, static_cast<int32_t>(open40.size() + 43)},
        {"line break ends a start tag name", "<rss\nversion='2'></rssversion='2'>",
         L"Wrong nesting, expecting rssversion='2' but found rss", 33},
        {"space name against its end", "< a></a>", L"Wrong nesting, expecting a but found  a", 7},
    });
}

std::string times(size_t count, const std::string& piece)
{
    std::string out;
    while (count-- > 0)
        out += piece;
    return out;
}

// One limit's table: each input is read whole (back 0) or fails with the limit's message `back` bytes before its end.
void expectLimit(const char* before, size_t limit, const char* after,
                 const std::vector<std::pair<std::string, size_t>>& cases)
{
    const std::wstring message = Xml::widen(before) + std::to_wstring(limit) + Xml::widen(after);
    for (const auto& [input, back] : cases) {
        const ParseOutcome found = parseWith<XmlParser>(input);
        EXPECT_EQ(found.message, back ? message : L"") << input.size() << " bytes";
        EXPECT_EQ(found.position, back ? static_cast<int32_t>(input.size() - back) : -1) << input.size() << " bytes";
    }
}

TEST(XmlParserErrors, CountsUpToTheirLimits)
{
    const std::string nearly = "<r>" + times(Xml::kMaxNodes - 2, "<a/>");             // one node short of the limit
    const std::string again = nearly.substr(0, nearly.size() - 4) + "<a b='' b=''/>"; // a name given again counts once
    expectLimit("More than ", Xml::kMaxNodes, " elements and attributes",
                {{nearly + "<a/>", 0}, {nearly + "<a/><b/>", 3}, {nearly + "<a b='1'/>", 3}, {again, 0}});
    const std::string deepest = times(Xml::kMaxDepth, "<a>");
    expectLimit("Elements nested more than ", Xml::kMaxDepth, " deep",
                {{deepest + times(Xml::kMaxDepth, "</a>"), 0}, {deepest + "<b/>", 3}, {deepest + "<b>", 2}});
    std::string all = "<r";
    for (size_t i = 0; i < Xml::kMaxAttributesPerElement; ++i)
        all += " a" + std::to_string(i) + "=''";
    expectLimit("More than ", Xml::kMaxAttributesPerElement, " attributes in one element",
                {{all + "/>", 0}, {all + " b=''/>", 3}, {all + " a0='again'/>", 0}});
}

// Line breaks are not kept, so they do not count; '&' in CDATA is kept as "&amp;".
TEST(XmlParserErrors, TextsUpToTheirLimits)
{
    const std::string full(Xml::kMaxTextBytes, 'x'), half(Xml::kMaxTextBytes / 2, 'x');
    expectLimit("Text longer than ", Xml::kMaxTextBytes, " bytes",
                {{"<a>" + full + "</a>", 0},
                 {"<a>" + half + "\r\n" + half + "</a>", 0},
                 {"<a>" + full + "y\nz</a>", 6},
                 {"<a>" + half + "<!---->" + half + "y</a>", 4},
                 {"<a b='" + full + "y'/>", 3},
                 {"<" + full + "y/>", 2},
                 {"<a><![CDATA[" + full.substr(5) + "&]]></a>", 0},
                 {"<a><![CDATA[" + full.substr(4) + "&]]></a>", 8}});
    const auto section = [](size_t count) { return "<b><![CDATA[" + std::string(count, '&') + "]]></b>"; };
    const std::string amps = section(Xml::kMaxCdataAmpersands / 2);
    expectLimit("More than ", Xml::kMaxCdataAmpersands, " '&' in CDATA sections",
                {{"<r>" + amps + amps, 0}, {"<r>" + amps + section(Xml::kMaxCdataAmpersands / 2 + 1), 8}});
}

TEST(XmlParserErrors, TreeBuiltSoFarStaysAttached)
{
    const ParseOutcome found = parseWith<XmlParser>("<rss><channel><title>T</title><item a='1'><x></y>");
    ASSERT_TRUE(found.failed);
    EXPECT_EQ(found.tree, "(rss(channel(title{T},item[a=1](x))))");
}

TEST(XmlParserErrors, PositionSaturatesForHugeOffsets)
{
    // Offsets past the 32-bit signed range must not turn negative.
    EXPECT_EQ(Xml::reportedPosition(0), 0);
    EXPECT_EQ(Xml::reportedPosition(2147483647u), INT32_MAX);
    EXPECT_EQ(Xml::reportedPosition(static_cast<size_t>(2147483648u)), INT32_MAX);
    EXPECT_EQ(Xml::reportedPosition(static_cast<size_t>(-1)), INT32_MAX);
}

TEST(XmlParserErrors, OnlyTheXmlExceptionLeavesTheParser)
{
    // Inputs that index at or past the end in look-aheads and scans.
    const std::vector<std::string> inputs = {"<",
                                             "<!",
                                             "<!-",
                                             "<?",
                                             "<a",
                                             "<a/",
                                             "<a b",
                                             "<a b=",
                                             "<a b='",
                                             "</",
                                             "<a>",
                                             "<?encoding=\"",
                                             "<?encoding=\"x",
                                             "<!--",
                                             "<!---",
                                             "<!----",
                                             "<a><![CDATA[",
                                             "<a><![CDATA[x]",
                                             "<a><![CDATA[x]]",
                                             "<!DOCTYPE [",
                                             "<a\n"};
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        XmlNode document;
        try {
            XmlParser parser(input, &document);
        } catch (const RSS::XMLException& e) {
            EXPECT_FALSE(e.message.empty());
            EXPECT_LE(e.position, static_cast<int32_t>(input.size()));
        }
    }
}

} // namespace
