#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rss/CharacterReferences.h"

namespace {

struct ReferenceCase {
    const char* name;
    std::wstring text;
    std::wstring expected;
};

// U+1F600 as UTF-16 code units, also where wchar_t has 32 bits.
const std::wstring kGrinning = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};

TEST(CharacterReferences, PredefinedEntitiesAndCharacterReferencesAreDecoded)
{
    const std::vector<ReferenceCase> cases = {
        {"no reference", L"plain text", L"plain text"},
        {"five entities", L"&amp; &lt; &gt; &quot; &apos;", L"& < > \" '"},
        {"in running text", L"U.S. News &amp; World Report", L"U.S. News & World Report"},
        {"decimal", L"World &#8211; news", L"World \u2013 news"},
        {"hex", L"World &#x2013; news", L"World \u2013 news"},
        {"upper-case hex digits", L"&#x2D3;&#xAbC;", L"\u02D3\u0ABC"},
        {"leading zeros", L"&#0065;&#x0041;", L"AA"},
        {"non-BMP as a surrogate pair", L"&#128512;|&#x1F600;", kGrinning + L"|" + kGrinning},
        {"last code point", L"&#x10FFFF;", {static_cast<wchar_t>(0xDBFF), static_cast<wchar_t>(0xDFFF)}},
        {"line break and tab allowed", L"a&#10;b&#9;c", L"a\nb\tc"},
        {"decoded once only", L"&amp;amp; &amp;#38;", L"&amp; &#38;"},
        {"adjacent", L"&lt;&lt;&#65;&gt;", L"<<A>"},
    };
    for (const ReferenceCase& c : cases)
        EXPECT_EQ(decodeReferences(c.text), c.expected) << c.name;
}

TEST(CharacterReferences, HtmlNamedReferencesAreDecoded)
{
    const std::vector<ReferenceCase> cases = {
        {"no-break space", L"a&nbsp;b", L"a\u00a0b"},
        {"accents", L"M&uuml;nchen, caf&eacute;", L"M\u00fcnchen, caf\u00e9"},
        {"dashes and quotes", L"&ldquo;x&rdquo; &mdash; &hellip;", L"\u201cx\u201d \u2014 \u2026"},
        {"first in the table", L"&AElig;", L"\u00c6"},
        {"last in the table", L"&zwnj;", L"\u200c"},
        {"longest name", L"&CounterClockwiseContourIntegral;", L"\u2233"},
        {"two characters", L"&NotEqualTilde;", L"\u2242\u0338"},
        {"outside the BMP", L"&Afr;", {static_cast<wchar_t>(0xD835), static_cast<wchar_t>(0xDD04)}},
        {"case matters", L"&Eacute;&eacute;", L"\u00c9\u00e9"},
        {"HTML's upper-case spellings", L"&AMP;&LT;", L"&<"},
        {"decoded once only", L"&amp;nbsp;", L"&nbsp;"},
    };
    for (const ReferenceCase& c : cases)
        EXPECT_EQ(decodeReferences(c.text), c.expected) << c.name;
}

TEST(CharacterReferences, AnythingElseStaysAsWritten)
{
    const std::vector<std::wstring> kept = {
        L"&nbsp",
        L"&nbspx;",
        L"&NBSP;",
        L"&CounterClockwiseContourIntegrals;",
        L"&no-such;",
        L"AT&T",
        L"a & b",
        L"&",
        L"&amp",
        L"&AMp;",
        L"& amp;",
        L"&#;",
        L"&#x;",
        L"&#X41;",
        L"&#12a;",
        L"&#x12g;",
        L"&#65",
        L"&#0;",
        L"&#x1F;",
        L"&#xD800;",
        L"&#xDFFF;",
        L"&#xFFFE;",
        L"&#x110000;",
        L"&#1114112;",
        L"&#99999999999999999999;",
        L"&#-65;",
        L"&#x-41;",
        L"&#+65;",
        L"&;",
        L"&&amp",
    };
    for (const std::wstring& text : kept)
        EXPECT_EQ(decodeReferences(text), text);
    EXPECT_EQ(decodeReferences(L"&bogus;&amp;&#xD800;&#65;"), L"&bogus;&&#xD800;A");
}

} // namespace
