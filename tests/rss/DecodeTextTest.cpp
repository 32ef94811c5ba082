#include <gtest/gtest.h>

#include <windows.h>

#include "rss/TextDecoding.h"

namespace {

const std::string kIsoBytes = "\xb1\xea";          // ą ę in ISO 8859-2
const std::string kUtf8Bytes = "\xc4\x85\xc4\x99"; // ą ę in UTF-8
const std::wstring kPolish = L"\u0105\u0119";

// What the platform's UTF-8 conversion makes of the bytes it writes, read only
// as far as it reports; the buffer is pre-filled so nothing unwritten can pass.
std::wstring platformUtf8(const std::string& bytes)
{
    std::wstring buffer(bytes.size() + 8, L'*');
    const int written = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &buffer[0],
                                            static_cast<int>(buffer.size()));
    return buffer.substr(0, written > 0 ? written : 0);
}

TEST(DecodeText, DeclaredNamesChooseTheirCodePagesInAnyCase)
{
    struct Case {
        const char* encoding;
        std::string bytes;
        std::wstring expected;
    };
    const Case cases[] = {
        {"iso-8859-2", kIsoBytes, kPolish},
        {"ISO-8859-2", kIsoBytes, kPolish},
        {"Iso-8859-2", kIsoBytes, kPolish},
        {"LATIN2", kIsoBytes, kPolish},
        {"iso-8859-2", kUtf8Bytes, L"\u00c4\u0085\u00c4\u0099"}, // each byte on its own
        {"windows-1250", "\xb9\xea", kPolish},
        {"CP1250", "\xb9\xea", kPolish},
        {"windows-1251", "\xe0\xff", L"\u0430\u044f"},
        {"ISO-8859-1", "\xe9\xff", L"\u00e9\u00ff"},
        {"windows-1252", "\x80\x93", L"\u20ac\u201c"},
        {"ISO-8859-15", "\xa4\xbd", L"\u20ac\u0153"},
        {"iso-8859-5", "\xb0", L"\u0410"},
        {"windows-1257", "\xe0", L"\u0105"},
        {"KOI8-R", "\xc1\xd1", L"\u0430\u044f"},
        {"koi8-u", "\xa4", L"\u0454"},
        {"us-ascii", "plain ASCII", L"plain ASCII"},
        {"UTF-8", kUtf8Bytes, kPolish},
        {"utf8", kUtf8Bytes, kPolish},
        {"", kUtf8Bytes, kPolish},
        {"ISO8859-2", kIsoBytes, kPolish}, // the WHATWG labels
        {" iso_8859-2\t", kIsoBytes, kPolish},
        {"l2", kIsoBytes, kPolish},
        {"x-mac-roman", "\x8e", L"\u00e9"},
        {"x-mac-cyrillic", "\x80", L"\u0410"},
        {"ibm866", "\x80", L"\u0410"},
        {"tis-620", "\xa1", L"\u0e01"},
        {"iso-8859-8-i", "\xe0", L"\u05d0"},
        {"ISO-8859-1", "\x93q\x94 \x80\x97", L"\u201cq\u201d \u20ac\u2014"}, // read as windows-1252
        {"latin1", "\x85", L"\u2026"},
        {"iso-8859-9", "\x80\xfd", L"\u20ac\u0131"}, // windows-1254
        {"iso-8859-99", kUtf8Bytes, kPolish},        // names not known are read as UTF-8
        {"ISO-8859-2x", kUtf8Bytes, kPolish},
        {"UTF-8", "", L""},
        {"iso-8859-2", "", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeText(c.bytes, c.encoding), c.expected) << "encoding \"" << c.encoding << "\"";
}

TEST(DecodeText, UnknownNamesReadIsoBytesAsUtf8)
{
    for (const char* encoding : {"iso-8859-22", "latin-2", "x-unknown", ""}) {
        const std::wstring found = decodeText(kIsoBytes, encoding);
        EXPECT_NE(found, kPolish) << encoding;
        EXPECT_EQ(found, platformUtf8(kIsoBytes)) << encoding;
    }
}

// Windows has all of these code pages. Wine 8 lacks 54936 (GB18030), read there
// through 936 (GBK), so only GB18030's one- and two-byte forms are checked;
// ISO-2022-JP goes through EUC-JP (20932) on both.
TEST(DecodeText, ChineseJapaneseAndKoreanEncodings)
{
    struct Case {
        const char* encoding;
        std::string bytes;
        std::wstring expected;
    };
    const std::wstring china = L"\u4e2d\u6587";
    const std::wstring japan = L"\u65e5\u672c";
    const Case cases[] = {
        {"gb2312", "\xd6\xd0\xce\xc4", china},
        {"GBK", "\xd6\xd0\xce\xc4", china},
        {"gb18030", "\xd6\xd0\xce\xc4", china},
        {"big5", "\xa4\xa4\xa4\xe5", china},
        {"shift_jis", "\x93\xfa\x96\x7b\xb1", japan + L"\uff71"},
        {"Windows-31J", "\x93\xfa\x96\x7b", japan},
        {"euc-jp", "\xc6\xfc\xcb\xdc", japan},
        {"iso-2022-jp", "\x1b$BF|K\\\x1b(B!", japan + L"!"},
        {"iso-2022-jp", "a\x1b(I1\x1b(Bb\x1b$@F|\x1b(J!", L"a\uff71b\u65e5!"}, // katakana, JIS C 6226, JIS Roman
        {"euc-kr", "\xc7\xd1\xb1\xb9", L"\ud55c\uad6d"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeText(c.bytes, c.encoding), c.expected) << "encoding \"" << c.encoding << "\"";
}

TEST(DecodeText, TextEndsAtItsFirstNulByte)
{
    EXPECT_EQ(decodeText(std::string("ab\0cd", 5), "UTF-8"), L"ab");
    EXPECT_EQ(decodeText(std::string("\xb1\0\xea", 3), "iso-8859-2"), L"\u0105");
    EXPECT_EQ(decodeText(std::string("\0x", 2), ""), L"");
}

TEST(DecodeText, InvalidUtf8AtTheEndReadsNoUnwrittenCharacter)
{
    const std::string cases[] = {"A\xf0"
                                 "B",
                                 "A\xf0", "\xf0", "abc\xe2\x82", "\xff\xfe"};
    for (const std::string& bytes : cases)
        for (int round = 0; round < 20; ++round) // unwritten memory would not repeat itself
            EXPECT_EQ(decodeText(bytes, "UTF-8"), platformUtf8(bytes)) << testing::PrintToString(bytes);
}

TEST(DecodeText, LongTextConvertsWhole)
{
    std::string bytes;
    std::wstring expected;
    for (int i = 0; i < 50000; ++i) {
        bytes += kUtf8Bytes + "x";
        expected += kPolish + L"x";
    }
    EXPECT_EQ(decodeText(bytes, ""), expected);
}

} // namespace
