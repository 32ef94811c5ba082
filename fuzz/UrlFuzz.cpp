// Url::parse on arbitrary wide text: it either splits the address or fails
// with std::out_of_range, and a split always holds these properties: the host
// starts at 7 when "http://" occurs anywhere (else at 0), it holds no '/', the
// path starts with '/', and host and path together are the rest of the address.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "FuzzCheck.h"
#include "net/Url.h"

namespace {

// ASCII bytes stand for themselves, so dictionary words such as "http://"
// work; a byte from 0x80 up joins the next byte into one character up to
// U+7FFF. The address is NUL-terminated, so it ends at the first NUL.
std::wstring addressFrom(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i < size; ++i) {
        wchar_t c = data[i];
        if (c >= 0x80 && i + 1 < size)
            c = static_cast<wchar_t>(((c & 0x7F) << 8) | data[++i]);
        if (c == 0)
            break;
        text.push_back(c);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring address = addressFrom(data, size);
    const size_t start = address.find(L"http://") == std::wstring::npos ? 0 : 7;
    const bool hasSlash = address.find(L'/', start) != std::wstring::npos;
    Url url;
    try {
        url = Url::parse(address.c_str());
    } catch (const std::out_of_range&) {
        QF_FUZZ_CHECK(!hasSlash, "out_of_range for an address of %zu characters with a '/' after %zu", address.size(),
                      start);
        return 0;
    }
    QF_FUZZ_CHECK(hasSlash, "split an address of %zu characters without '/' after %zu", address.size(), start);
    QF_FUZZ_CHECK(url.host.find(L'/') == std::wstring::npos, "host of %zu characters holds '/'", url.host.size());
    QF_FUZZ_CHECK(!url.path.empty() && url.path[0] == L'/', "path of %zu characters", url.path.size());
    QF_FUZZ_CHECK(url.host + url.path == address.substr(start), "host %zu + path %zu characters, address %zu from %zu",
                  url.host.size(), url.path.size(), address.size(), start);
    return 0;
}
