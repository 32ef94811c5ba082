#include "rss/CodePages.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

struct NamedCodePage {
    const char* label; // lower case
    uint32_t codePage;
};

// The labels of the WHATWG Encoding Standard for the encodings that have a
// Windows code page, sorted for a binary search. ISO-8859-1 and US-ASCII are
// windows-1252 there, as browsers read them; ISO-8859-9 is windows-1254.
// ISO-8859-8-I has the characters of ISO-8859-8 (28598; Wine lacks 38598).
const NamedCodePage kCodePages[] = {
    {"866", 866},
    {"ansi_x3.4-1968", 1252},
    {"arabic", 28596},
    {"ascii", 1252},
    {"asmo-708", 28596},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"chinese", 936},
    {"cn-big5", 950},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"cp1252", 1252},
    {"cp1253", 1253},
    {"cp1254", 1254},
    {"cp1255", 1255},
    {"cp1256", 1256},
    {"cp1257", 1257},
    {"cp1258", 1258},
    {"cp819", 1252},
    {"cp866", 866},
    {"csbig5", 950},
    {"cseuckr", 949},
    {"cseucpkdfmtjapanese", 20932},
    {"csgb2312", 936},
    {"csibm866", 866},
    {"csiso2022jp", 50222},
    {"csiso58gb231280", 936},
    {"csiso88596e", 28596},
    {"csiso88596i", 28596},
    {"csiso88598e", 28598},
    {"csiso88598i", 28598},
    {"csisolatin1", 1252},
    {"csisolatin2", 28592},
    {"csisolatin3", 28593},
    {"csisolatin4", 28594},
    {"csisolatin5", 1254},
    {"csisolatin9", 28605},
    {"csisolatinarabic", 28596},
    {"csisolatincyrillic", 28595},
    {"csisolatingreek", 28597},
    {"csisolatinhebrew", 28598},
    {"cskoi8r", 20866},
    {"csksc56011987", 949},
    {"csmacintosh", 10000},
    {"csshiftjis", 932},
    {"cyrillic", 28595},
    {"dos-874", 874},
    {"ecma-114", 28596},
    {"ecma-118", 28597},
    {"elot_928", 28597},
    {"euc-jp", 20932},
    {"euc-kr", 949},
    {"gb18030", 54936},
    {"gb2312", 936},
    {"gb_2312", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"greek", 28597},
    {"greek8", 28597},
    {"hebrew", 28598},
    {"ibm819", 1252},
    {"ibm866", 866},
    {"iso-2022-jp", 50222},
    {"iso-8859-1", 1252},
    {"iso-8859-11", 874},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-6-e", 28596},
    {"iso-8859-6-i", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8-e", 28598},
    {"iso-8859-8-i", 28598},
    {"iso-8859-9", 1254},
    {"iso-ir-100", 1252},
    {"iso-ir-101", 28592},
    {"iso-ir-109", 28593},
    {"iso-ir-110", 28594},
    {"iso-ir-126", 28597},
    {"iso-ir-127", 28596},
    {"iso-ir-138", 28598},
    {"iso-ir-144", 28595},
    {"iso-ir-148", 1254},
    {"iso-ir-149", 949},
    {"iso-ir-58", 936},
    {"iso8859-1", 1252},
    {"iso8859-11", 874},
    {"iso8859-13", 28603},
    {"iso8859-15", 28605},
    {"iso8859-2", 28592},
    {"iso8859-3", 28593},
    {"iso8859-4", 28594},
    {"iso8859-5", 28595},
    {"iso8859-6", 28596},
    {"iso8859-7", 28597},
    {"iso8859-8", 28598},
    {"iso8859-9", 1254},
    {"iso88591", 1252},
    {"iso885911", 874},
    {"iso885913", 28603},
    {"iso885915", 28605},
    {"iso88592", 28592},
    {"iso88593", 28593},
    {"iso88594", 28594},
    {"iso88595", 28595},
    {"iso88596", 28596},
    {"iso88597", 28597},
    {"iso88598", 28598},
    {"iso88599", 1254},
    {"iso_8859-1", 1252},
    {"iso_8859-15", 28605},
    {"iso_8859-1:1987", 1252},
    {"iso_8859-2", 28592},
    {"iso_8859-2:1987", 28592},
    {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593},
    {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594},
    {"iso_8859-5", 28595},
    {"iso_8859-5:1988", 28595},
    {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596},
    {"iso_8859-7", 28597},
    {"iso_8859-7:1987", 28597},
    {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598},
    {"iso_8859-9", 1254},
    {"iso_8859-9:1989", 1254},
    {"koi", 20866},
    {"koi8", 20866},
    {"koi8-r", 20866},
    {"koi8-ru", 21866},
    {"koi8-u", 21866},
    {"koi8_r", 20866},
    {"korean", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"l1", 1252},
    {"l2", 28592},
    {"l3", 28593},
    {"l4", 28594},
    {"l5", 1254},
    {"l9", 28605},
    {"latin1", 1252},
    {"latin2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"latin5", 1254},
    {"logical", 28598},
    {"mac", 10000},
    {"macintosh", 10000},
    {"ms932", 932},
    {"ms_kanji", 932},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"sun_eu_greek", 28597},
    {"tis-620", 874},
    {"unicode-1-1-utf-8", kUtf8CodePage},
    {"unicode11utf8", kUtf8CodePage},
    {"unicode20utf8", kUtf8CodePage},
    {"us-ascii", 1252},
    {"utf-8", kUtf8CodePage},
    {"utf8", kUtf8CodePage},
    {"visual", 28598},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"windows-31j", 932},
    {"windows-874", 874},
    {"windows-949", 949},
    {"x-cp1250", 1250},
    {"x-cp1251", 1251},
    {"x-cp1252", 1252},
    {"x-cp1253", 1253},
    {"x-cp1254", 1254},
    {"x-cp1255", 1255},
    {"x-cp1256", 1256},
    {"x-cp1257", 1257},
    {"x-cp1258", 1258},
    {"x-euc-jp", 20932},
    {"x-gbk", 936},
    {"x-mac-cyrillic", 10007},
    {"x-mac-roman", 10000},
    {"x-mac-ukrainian", 10007},
    {"x-sjis", 932},
    {"x-unicode20utf8", kUtf8CodePage},
    {"x-x-big5", 950},
};

const size_t kLongestLabel = 20;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The label lower-cased, blanks around it trimmed; empty when too long to be one.
std::string normalized(const std::string& name)
{
    size_t begin = 0, end = name.size();
    while (begin < end && blank(name[begin]))
        ++begin;
    while (end > begin && blank(name[end - 1]))
        --end;
    if (end - begin > kLongestLabel)
        return std::string();
    std::string label(name, begin, end - begin);
    for (char& c : label)
        c = lower(c);
    return label;
}

} // namespace

uint32_t codePageFor(const std::string& encodingName)
{
    const std::string label = normalized(encodingName);
    const NamedCodePage* last = std::end(kCodePages);
    const NamedCodePage* found =
        std::lower_bound(std::begin(kCodePages), last, label, [](const NamedCodePage& entry, const std::string& key) {
            return key.compare(entry.label) > 0;
        });
    return found != last && label == found->label ? found->codePage : kUtf8CodePage;
}
