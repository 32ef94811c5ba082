#include <gtest/gtest.h>

#include <windows.h>

#include "rss/FeedReader.h"

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

TEST(DecodeText, OnlyTheTwoExactIsoSpellingsSelectIso88592)
{
    struct Case {
        const char* encoding;
        std::string bytes;
        std::wstring expected;
    };
    const Case cases[] = {
        {"iso-8859-2", kIsoBytes, kPolish},
        {"ISO-8859-2", kIsoBytes, kPolish},
        {"iso-8859-2", kUtf8Bytes, L"\u00c4\u0085\u00c4\u0099"}, // each byte on its own
        {"UTF-8", kUtf8Bytes, kPolish},
        {"utf-8", kUtf8Bytes, kPolish},
        {"", kUtf8Bytes, kPolish},
        {"Iso-8859-2", kUtf8Bytes, kPolish},
        {"ISO8859-2", kUtf8Bytes, kPolish},
        {"iso_8859-2", kUtf8Bytes, kPolish},
        {"ISO-8859-2 ", kUtf8Bytes, kPolish},
        {"windows-1250", kUtf8Bytes, kPolish},
        {"ISO-8859-1", kUtf8Bytes, kPolish},
        {"iso-8859-2", "plain ASCII", L"plain ASCII"},
        {"UTF-8", "", L""},
        {"iso-8859-2", "", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeText(c.bytes, c.encoding), c.expected) << "encoding \"" << c.encoding << "\"";
}

TEST(DecodeText, OtherSpellingsReadIsoBytesAsUtf8)
{
    for (const char* encoding : {"Iso-8859-2", "ISO8859-2", "windows-1250", ""}) {
        const std::wstring found = decodeText(kIsoBytes, encoding);
        EXPECT_NE(found, kPolish) << encoding;
        EXPECT_EQ(found, platformUtf8(kIsoBytes)) << encoding;
    }
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
