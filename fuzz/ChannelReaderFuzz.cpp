// readChannel on arbitrary bytes (RSS 0.9x/2.0, RSS 1.0 and Atom alike, the
// feed's address given so relative links are resolved), with the local zone
// at UTC: the body is read or refused with RSS::XMLException at a position
// within it; no other exception, crash, leak or sanitizer report. What is
// read is text the host can take: no NUL character in any field, surrogates
// only in pairs, and dates of 0, -1 or an instant from 1970 to the end of 3000.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "FuzzCheck.h"
#include "base/RSSException.h"
#include "rss/ChannelReader.h"

namespace {

const int64_t kLastSecond = 32535215999; // 3000-12-31 23:59:59 UTC

bool high(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool low(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void checkText(const std::wstring& text, const char* field)
{
    for (size_t i = 0; i < text.size(); ++i) {
        QF_FUZZ_CHECK(text[i] != 0, "NUL in %s at %zu", field, i);
        QF_FUZZ_CHECK(static_cast<uint32_t>(text[i]) <= 0xFFFF, "%s: %x is no UTF-16 unit", field,
                      static_cast<unsigned>(text[i]));
        if (high(text[i])) {
            QF_FUZZ_CHECK(i + 1 < text.size() && low(text[i + 1]), "lone high surrogate in %s at %zu", field, i);
            ++i;
        } else {
            QF_FUZZ_CHECK(!low(text[i]), "lone low surrogate in %s at %zu", field, i);
        }
    }
}

void checkDate(int64_t date, const char* field)
{
    QF_FUZZ_CHECK(date >= -1 && date <= kLastSecond, "%s: %lld", field, static_cast<long long>(date));
}

void checkChannel(const Channel& c)
{
    const std::pair<const std::wstring*, const char*> texts[] = {
        {&c.title, "title"},
        {&c.link, "link"},
        {&c.description, "description"},
        {&c.category, "category"},
        {&c.cloud, "cloud"},
        {&c.copyright, "copyright"},
        {&c.docs, "docs"},
        {&c.generator, "generator"},
        {&c.image, "image"},
        {&c.language, "language"},
        {&c.managingEditor, "managingEditor"},
        {&c.rating, "rating"},
        {&c.skipDays, "skipDays"},
        {&c.skipHours, "skipHours"},
        {&c.textInput, "textInput"},
        {&c.webMaster, "webMaster"},
    };
    for (const auto& text : texts)
        checkText(*text.first, text.second);
    checkDate(c.lastBuildDate, "lastBuildDate");
    checkDate(c.pubDate, "pubDate");
    for (const Item& item : c.items) {
        const std::pair<const std::wstring*, const char*> itemTexts[] = {
            {&item.title, "item title"},       {&item.description, "item description"},
            {&item.link, "item link"},         {&item.guid, "item guid"},
            {&item.author, "item author"},     {&item.category, "item category"},
            {&item.comments, "item comments"}, {&item.enclosure, "item enclosure"},
            {&item.source, "item source"},
        };
        for (const auto& text : itemTexts)
            checkText(*text.first, text.second);
        checkDate(item.pubDate, "item pubDate");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "UTC0", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        checkChannel(readChannel(std::string(reinterpret_cast<const char*>(data), size),
                                 L"http://fuzz.example/feeds/a/main.xml?x=1"));
    } catch (const RSS::XMLException& e) {
        QF_FUZZ_CHECK(e.position >= 0 && static_cast<size_t>(e.position) <= size, "position %d, input of %zu bytes",
                      static_cast<int>(e.position), size);
    }
    return 0;
}
