#include "rss/CodePages.h"

#include <cstddef>

namespace {

struct NamedCodePage {
    const char* name; // lower case
    uint32_t codePage;
};

const NamedCodePage kCodePages[] = {
    {"utf-8", kUtf8CodePage}, {"utf8", kUtf8CodePage}, {"us-ascii", 20127},    {"ascii", 20127},
    {"iso-8859-1", 28591},    {"latin1", 28591},       {"iso-8859-2", 28592},  {"latin2", 28592},
    {"iso-8859-3", 28593},    {"latin3", 28593},       {"iso-8859-4", 28594},  {"latin4", 28594},
    {"iso-8859-5", 28595},    {"iso-8859-6", 28596},   {"iso-8859-7", 28597},  {"iso-8859-8", 28598},
    {"iso-8859-9", 28599},    {"latin5", 28599},       {"iso-8859-13", 28603}, {"iso-8859-15", 28605},
    {"latin9", 28605},        {"windows-1250", 1250},  {"windows-1251", 1251}, {"windows-1252", 1252},
    {"windows-1253", 1253},   {"windows-1254", 1254},  {"windows-1255", 1255}, {"windows-1256", 1256},
    {"windows-1257", 1257},   {"windows-1258", 1258},  {"cp1250", 1250},       {"cp1251", 1251},
    {"cp1252", 1252},         {"koi8-r", 20866},       {"koi8-u", 21866},
};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const std::string& declared, const char* known)
{
    size_t i = 0;
    for (; i < declared.size() && known[i] != '\0'; ++i)
        if (lower(declared[i]) != known[i])
            return false;
    return i == declared.size() && known[i] == '\0';
}

} // namespace

uint32_t codePageFor(const std::string& encodingName)
{
    for (const NamedCodePage& entry : kCodePages)
        if (sameName(encodingName, entry.name))
            return entry.codePage;
    return kUtf8CodePage;
}
