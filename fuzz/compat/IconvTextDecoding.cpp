// decodeText for the native build: the Windows code pages through glibc's
// iconv, into UTF-16 code units held one per wchar_t, as MultiByteToWideChar
// gives them. A byte that does not convert becomes U+FFFD.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "rss/CodePages.h"
#include "rss/TextDecoding.h"

namespace {

std::string iconvName(uint32_t codePage)
{
    if (codePage >= 28591 && codePage <= 28605)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    if (codePage >= 1250 && codePage <= 1258)
        return "CP" + std::to_string(codePage);
    switch (codePage) {
    case 866:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
        return "CP" + std::to_string(codePage);
    case 10000:
        return "MACINTOSH";
    case 10007:
        return "MAC-CYRILLIC";
    case 20127:
        return "ASCII";
    case 20866:
        return "KOI8-R";
    case 20932:
        return "EUC-JP";
    case 21866:
        return "KOI8-U";
    case 50220:
    case 50221:
    case 50222:
        return "ISO-2022-JP";
    case 54936:
        return "GB18030";
    default:
        return "UTF-8";
    }
}

class Conversion {
public:
    explicit Conversion(const std::string& from) : handle_(iconv_open("UTF-16LE", from.c_str())) {}
    ~Conversion()
    {
        if (valid())
            iconv_close(handle_);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts what it can of [in, in + left) and appends it to `wide`; false
    // when it stopped at a byte that does not convert.
    bool run(char*& in, size_t& left, std::wstring& wide)
    {
        unsigned char units[512];
        char* out = reinterpret_cast<char*>(units);
        size_t room = sizeof units;
        const size_t result = iconv(handle_, &in, &left, &out, &room);
        const int error = errno;
        for (size_t i = 0; i + 1 < sizeof units - room; i += 2)
            wide.push_back(static_cast<wchar_t>(units[i] | units[i + 1] << 8));
        return result != static_cast<size_t>(-1) || error == E2BIG;
    }

private:
    iconv_t handle_;
};

} // namespace

std::wstring decodeText(const std::string& text, const std::string& encodingName)
{
    std::string bytes(text.c_str()); // up to the first NUL byte
    Conversion conversion(iconvName(codePageFor(encodingName)));
    std::wstring wide;
    if (!conversion.valid())
        return wide;
    char* in = &bytes[0];
    size_t left = bytes.size();
    while (left > 0)
        if (!conversion.run(in, left, wide)) {
            wide.push_back(static_cast<wchar_t>(0xFFFD));
            ++in;
            --left;
        }
    return wide;
}
