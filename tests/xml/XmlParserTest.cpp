// What the parser builds from well-formed and odd-but-accepted input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ParseOutcome.h"
#include "xml/XmlParser.h"

namespace {

struct TreeCase {
    const char* name;
    std::string input;
    std::string tree;
    std::string encoding = "";
};

void expectTrees(const std::vector<TreeCase>& cases)
{
    for (const TreeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ParseOutcome found = parseWith<XmlParser>(c.input);
        EXPECT_FALSE(found.failed) << "message size " << found.message.size() << " at " << found.position;
        EXPECT_EQ(found.tree, c.tree);
        EXPECT_EQ(found.encoding, c.encoding);
    }
}

TEST(XmlParserText, TextIsKeptRawWithLineBreaksDropped)
{
    expectTrees({
        {"simple element", "<a>x</a>", "(a{x})"},
        {"spaces kept, breaks dropped", "<a> Hello\n  world</a>", "(a{ Hello  world})"},
        {"tab and CR dropped too", "<a>\tx\r\ny\t</a>", "(a{xy})"},
        {"only line breaks give no text", "<a>\r\n\t</a>", "(a)"},
        {"entities stay as written", "<a>&amp;&lt;&#38;</a>", "(a{&amp;&lt;&#38;})"},
        {"text after a child is its tail", "<a>one<b/>two</a>", "(a{one}(b~{two}))"},
        {"text after a comment is kept", "<a><!-- c -->x</a>", "(a{x})"},
        {"runs around a comment joined", "<a>x<!-- c -->y</a>", "(a{xy})"},
        {"> is an ordinary byte in text", "<a>NBA > NCAA -></a>", "(a{NBA > NCAA ->})"},
        {"runs, sections, comments and instructions up to the first child",
         "<a>p<![CDATA[q]]>r<!-- c -->s<?pi?>t<b/>u<![CDATA[v]]></a>", "(a{pqrst}(b~{uv}))"},
        {"comment inside a tail", "<a><b>x</b>y<!-- c -->z<?pi?>w</a>", "(a(b{x}~{yzw}))"},
        {"mixed content", "<p>a <b>b <i>c</i> d</b> e<br/>f</p>", "(p{a }(b{b }(i{c}~{ d})~{ e},br~{f}))"},
        {"indentation between children", "<a>\n  <b/>\n  <c/>\n</a>", "(a{  }(b~{  },c))"},
        {"no tail after the root", "<a><b/>x</a>y", "(a(b~{x}))"},
        {"tail running to the end is not stored", "<a><b/>never closed", "(a(b))"},
        {"each element its own text", "<a>p<b>q</b>r<c>s</c>t</a>", "(a{p}(b{q}~{r},c{s}~{t}))"},
        {"text running to the end is not stored", "<a>never closed", "(a)"},
        {"text between tags of the same name", "<a><a>in</a>out</a>", "(a(a{in}~{out}))"},
        {"bytes above 127 kept", "<a>\xB1\xEA\xC3\xA9</a>", "(a{\\xB1\\xEA\\xC3\\xA9})"},
        {"text outside the root ignored", "before<a>x</a>after", "(a{x})"},
    });
}

TEST(XmlParserMarkup, CommentsDeclarationsAndInstructions)
{
    expectTrees({
        {"CDATA content is text", "<a><![CDATA[x]]></a>", "(a{x})"},
        {"CDATA ends at the first ]]>", "<a><![CDATA[a[1] > b]]]>t<b/></a>", "(a{a\\x5B1\\x5D > b\\x5Dt}(b))"},
        {"markup inside CDATA is text", "<a><![CDATA[<b>x</b><!-- y -->]]></a>", "(a{<b>x</b><!-- y -->})"},
        {"& in CDATA written as a reference", "<a>x &amp; <![CDATA[a &amp; b]]></a>", "(a{x &amp; a &amp;amp; b})"},
        {"line breaks dropped from CDATA", "<a><![CDATA[x\r\n\ty]]></a>", "(a{xy})"},
        {"CDATA after a child in its tail", "<a><b/><![CDATA[x&]]></a>", "(a(b~{x&amp;}))"},
        {"CDATA outside the root ignored", "<![CDATA[x]]><a/><![CDATA[y]]>", "(a)"},
        {"unclosed CDATA skips the rest", "<a>t<![CDATA[x]]<b/>", "(a{t})"},
        {"CDATA keyword is case-sensitive", "<a>t<![cdata[x]]></a>", "(a{t})"},
        {"DOCTYPE naming a public DTD", "<!DOCTYPE rss PUBLIC \"-//N//DTD RSS 0.91//EN\" \"x.dtd\"><rss/>", "(rss)"},
        {"DOCTYPE with internal subset", "<!DOCTYPE a [<!ENTITY e \"v\">]><a>t</a>", "(a{t})"},
        {"[ after the declaration's >", "<!DOCTYPE a><a>[x]</a>", "(a{\\x5Bx\\x5D})"},
        {"declaration inside text ends it", "<a>t<!ELEMENT x>u<b/></a>", "(a{t}(b))"},
        {"lone <! at the end", "<a><!", "(a)"},
        {"comments around the root", "<!-- x --><a>t</a><!-- y -->", "(a{t})"},
        {"comment with three dashes at start", "<a><!--->x--><b/></a>", "(a(b))"},
        {"empty comment", "<a><!----><b/></a>", "(a(b))"},
        {"line break inside the comment opener is dropped", "<a><!-\n- c --><b/></a>", "(a(b))"},
        {"line break right after ! makes a declaration", "<a><!\n-- c --><b/></a>", "(a(b))"},
        {"line breaks between the closing dashes", "<a><!-- c -\n-\r><b/></a>", "(a(b))"},
        {"declaration directly before the root", "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?><rss>t</rss>",
         "(rss{t})", "iso-8859-2"},
        {"other pseudo-attributes ignored", "<?xml version=\"1.0\" standalone=\"yes\"?>\n<r/>", "(r)"},
        {"two declared encodings are joined", "<?xml encoding=\"a\"?><?x encoding=\"b\"?><r/>", "(r)", "ab"},
        {"two encodings in one instruction", "<?x encoding=\"a\"encoding=\"b\"?><r/>", "(r)", "ab"},
        {"instruction inside an element", "<a>t<?pi encoding=\"x\"?>u</a>", "(a{tu})", "x"},
        {"encoding value ended by > runs on to the next >", "<?xml encoding=\"utf-8><r/><s/>", "(s)", "utf-8"},
        {"value keeps line breaks and spaces", "<?xml encoding=\"a b\n\"?><r/>", "(r)", "a b\n"},
        {"spaces around =", "<?xml encoding = \"x\"?><r/>", "(r)", "x"},
        {"single quotes", "<?xml version='1.0' encoding='windows-1250'?><r/>", "(r)", "windows-1250"},
        {"a double quote inside single quotes", "<?xml encoding='a\"b'?><r/>", "(r)", "a\"b"},
        {"mismatched quotes run on to the >", "<?xml encoding='x\"?><r/><s/>", "(s)", "x\"?"},
        {"upper case not an encoding", "<?xml ENCODING=\"x\"?><r/>", "(r)"},
        {"too short after the key", "<?encoding=\"", ""},
        {"one byte after the key is enough", "<?encoding=\"x", "", "x"},
        {"empty value", "<?xml encoding=\"\"?><r/>", "(r)"},
        {"any word ending in encoding", "<?xml myencoding=\"q\"?><r/>", "(r)", "q"},
        {"instruction without >", "<a/><?xml encoding=\"z", "(a)", "z"},
    });
}

TEST(XmlParserAttributes, QuotingSpacingAndOrder)
{
    expectTrees({
        {"> inside single quotes kept", "<a b='x>y'/>", "(a[b=x>y])"},
        {"double and single quotes", "<a b=\"it's\" c='say \"hi\"'/>", "(a[b=it's,c=say \"hi\"])"},
        {"space after = allowed", "<a b= \t'1'/>", "(a[b=1])"},
        {"spaces around = lose the attribute and the text", "<a b = '1'>t</a>", "(a)"},
        {"space before = loses it", "<a b ='1'/>", "(a)"},
        {"name without value lost, next kept", "<a b c='1'/>", "(a[c=1])"},
        {"no space between attributes", "<a b='1'c=\"2\"/>", "(a[b=1,c=2])"},
        {"repeated name keeps the last value", "<a z=\"1\" b='2' z='3'/>", "(a[b=2,z=3])"},
        {"byte order of names", "<a b='1' B='2' _='3' a1='4' a='5'/>", "(a[B=2,_=3,a=5,a1=4,b=1])"},
        {"entities in values stay raw", "<a b=\"&amp;&quot;\"/>", "(a[b=&amp;&quot;])"},
        {"line breaks dropped inside names and values", "<a b\n='1\r\n2' c\t='3'/>", "(a[b=12,c=3])"},
        {"empty value", "<a b=''/>", "(a[b=])"},
        {"text after attributes", "<a b='1'>t</a>", "(a{t}[b=1])"},
        {"name ending at > leaves the element open without text", "<a b>t<c/></a>", "(a(c))"},
        {"name ending at > swallows /", "<a b/>t<c/></a>", "(a(c))"},
        {"attributes on the element opened by this tag", "<a><b c='1'/><d e='2'>x</d></a>", "(a(b[c=1],d{x}[e=2]))"},
    });
}

TEST(XmlParserStructure, NamesNestingAndTruncation)
{
    const std::string longName(40, 'n');
    expectTrees({
        {"empty input", "", ""},
        {"only spaces and line breaks", " \r\n\t ", ""},
        {"empty element", "<a/>", "(a)"},
        {"space before />", "<a />", "(a)"},
        {"nesting", "<a><b><c/></b><d/></a>", "(a(b(c),d))"},
        {"truncated inside elements", "<rss><channel>", "(rss(channel))"},
        {"truncated in a start tag", "<rss><chan", "(rss)"},
        {"truncated in an attribute value", "<rss><c d='1", "(rss(c))"},
        {"prefix is part of the name", "<dc:date>x</dc:date>", "(dc:date{x})"},
        {"line breaks dropped in end tag names", "<x:ab>t\r\n</x:a\tb\n>", "(x:ab{t})"},
        {"line break ends a start tag's name", "<rss\nversion=\"2.0\">t</rss>", "(rss{t}[version=2.0])"},
        {"attributes one per line", "<a\r\n\tb='1'\r\n\tc='2'\r\n>t</a>", "(a{t}[b=1,c=2])"},
        {"tab before > and />", "<a\t><b\t/></a>", "(a(b))"},
        {"line break right after < still dropped", "<\na>t</a>", "(a{t})"},
        {"names are case-sensitive and whole", "<" + longName + "></" + longName + ">", "(" + longName + ")"},
        {"space after < starts the name", "< a/>", "( a)"},
        {"> after < is a name byte", "<>x/>", "(>x)"},
        {"empty name via space", "<a>< /></a>", "(a( ))"},
        {"end of a closed root", "<a>x</a>\r\n", "(a{x})"},
    });
}

} // namespace
