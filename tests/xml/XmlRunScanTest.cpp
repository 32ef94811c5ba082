// The many-bytes-at-once run scans against a one-byte-at-a-time scan.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "xml/XmlRunScan.h"

namespace {

struct NamedEnds {
    const char* name;
    Xml::RunEnds ends;
    std::string ending; // written out by hand: the bytes that must stop this scan
};

const std::vector<NamedEnds> kAllEnds = {
    {"text", Xml::kTextEnds, "<\t\n\r"},
    {"start tag name", Xml::kStartNameEnds, " >/\t\n\r"},
    {"end tag name", Xml::kEndNameEnds, " >\t\n\r"},
    {"attribute name", Xml::kAttrNameEnds, " =>\t\n\r"},
    {"double-quoted value", Xml::kDoubleQuotedEnds, "\">\t\n\r"},
    {"single-quoted value", Xml::kSingleQuotedEnds, "'\t\n\r"},
};

size_t naiveFind(const std::string& data, size_t from, size_t end, const std::string& ending)
{
    for (size_t p = from; p < end; ++p)
        if (ending.find(data[p]) != std::string::npos)
            return p;
    return end;
}

// Mostly ordinary bytes, with near-misses of every kind: bytes just below and
// above the candidate bounds, bytes with the high bit set, and the real ends.
std::string randomRun(std::mt19937& rng, size_t length)
{
    static const std::string kRare =
        std::string("<>/= \"'\t\n\r\x0B\x0C\x0E\x1F!?-\x80\xBC\xFF", 21) + std::string(1, '\0');
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        const unsigned roll = rng() % 100;
        if (roll < 6)
            out += kRare[rng() % kRare.size()];
        else if (roll < 8)
            out += static_cast<char>(rng() % 256);
        else
            out += static_cast<char>('a' + rng() % 26);
    }
    return out;
}

TEST(XmlRunScan, EveryByteIsClassifiedAsWrittenOut)
{
    for (const NamedEnds& e : kAllEnds) {
        SCOPED_TRACE(e.name);
        for (int b = 0; b < 256; ++b) {
            const std::string one(1, static_cast<char>(b));
            const size_t expected = e.ending.find(static_cast<char>(b)) != std::string::npos ? 0 : 1;
            EXPECT_EQ(Xml::findRunEndPortable(one.data(), 0, 1, e.ends), expected) << "byte " << b;
            const std::string padded = std::string(20, 'a') + one + std::string(20, 'a');
            EXPECT_EQ(Xml::findRunEnd(padded.data(), 0, padded.size(), e.ends), expected ? padded.size() : 20u)
                << "byte " << b;
        }
    }
}

TEST(XmlRunScan, WideScansAgreeWithOneByteAtATime)
{
    std::mt19937 rng(4242);
    size_t checked = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string data = randomRun(rng, rng() % 80);
        const size_t from = data.empty() ? 0 : rng() % (data.size() + 1);
        const size_t end = from + rng() % (data.size() - from + 1);
        for (const NamedEnds& e : kAllEnds) {
            const size_t expected = naiveFind(data, from, end, e.ending);
            ASSERT_EQ(Xml::findRunEndPortable(data.data(), from, end, e.ends), expected) << e.name;
            ASSERT_EQ(Xml::findRunEnd(data.data(), from, end, e.ends), expected) << e.name;
#ifdef QF_XML_SSE2
            ASSERT_EQ(Xml::findRunEndSse2(data.data(), from, end, e.ends), expected) << e.name;
#endif
            ++checked;
        }
    }
    EXPECT_EQ(checked, 3000u * kAllEnds.size());
}

TEST(XmlRunScan, LongRunsFoundAtEveryOffset)
{
    // One end byte at each position of a long run: covers every lane and tail.
    for (const NamedEnds& e : kAllEnds) {
        SCOPED_TRACE(e.name);
        for (size_t at = 0; at < 70; ++at) {
            std::string data(70, 'x');
            data[at] = e.ending[0];
            EXPECT_EQ(Xml::findRunEnd(data.data(), 0, data.size(), e.ends), at);
            EXPECT_EQ(Xml::findRunEndPortable(data.data(), 0, data.size(), e.ends), at);
        }
        const std::string none(70, 'x');
        EXPECT_EQ(Xml::findRunEnd(none.data(), 3, none.size(), e.ends), none.size());
    }
}

} // namespace
