// Url::parse on arbitrary wide text, and the resolution of a redirect's
// Location against the parsed address. An address either splits, fails with
// RSS::RSSException (another scheme, a bad port) or, for blanks or words
// without any '/', with std::out_of_range. A split has a path starting with '/', a host free of
// '/', '?', '#' and ':', a port from 1 up, and reads back from its own text()
// as the same Url. A Location resolved against it that names http or https
// either splits too or fails with RSS::RSSException, never anything else.
// The location's dot segments are removed as the standard's step-by-step
// text says (slow, but plainly right) and compared with the linear version.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "FuzzCheck.h"
#include "base/RSSException.h"
#include "net/Url.h"
#include "net/UrlReference.h"

namespace {

// ASCII bytes stand for themselves, so dictionary words such as "http://"
// work; a byte from 0x80 up joins the next byte into one character up to
// U+7FFF. A NUL ends the text; `at` is left after it.
std::wstring textFrom(const uint8_t* data, size_t size, size_t& at)
{
    std::wstring text;
    for (; at < size; ++at) {
        wchar_t c = data[at];
        if (c >= 0x80 && at + 1 < size)
            c = static_cast<wchar_t>(((c & 0x7F) << 8) | data[++at]);
        if (c == 0) {
            ++at;
            break;
        }
        text.push_back(c);
    }
    return text;
}

// RFC 3986 section 5.2.4 word for word; quadratic, so only short paths.
constexpr size_t kLongestStepwisePath = 4096;

void popStepwise(std::wstring& output)
{
    const size_t slash = output.rfind(L'/');
    output.erase(slash == std::wstring::npos ? 0 : slash);
}

std::wstring stepwiseDotSegments(std::wstring input)
{
    std::wstring output;
    while (!input.empty()) {
        if (input.compare(0, 3, L"../") == 0) {
            input.erase(0, 3);
        } else if (input.compare(0, 2, L"./") == 0 || input.compare(0, 3, L"/./") == 0) {
            input.erase(0, 2);
        } else if (input == L"/.") {
            input = L"/";
        } else if (input.compare(0, 4, L"/../") == 0) {
            input.erase(0, 3);
            popStepwise(output);
        } else if (input == L"/..") {
            input = L"/";
            popStepwise(output);
        } else if (input == L"." || input == L"..") {
            input.clear();
        } else {
            const size_t next = input.find(L'/', 1);
            output += input.substr(0, next);
            input.erase(0, next == std::wstring::npos ? input.size() : next);
        }
    }
    return output;
}

bool sameUrl(const Url& a, const Url& b)
{
    return a.scheme == b.scheme && a.host == b.host && a.port == b.port && a.path == b.path;
}

void checkSplit(const Url& url)
{
    QF_FUZZ_CHECK(!url.path.empty() && url.path[0] == L'/', "path of %zu characters", url.path.size());
    QF_FUZZ_CHECK(url.host.find_first_of(L"/?#@[]") == std::wstring::npos, "host of %zu characters", url.host.size());
    QF_FUZZ_CHECK(withoutCredentials(url.text()) == url.text(), "text() of %zu characters shows credentials",
                  url.text().size());
    QF_FUZZ_CHECK(url.port != 0, "port 0 for a host of %zu characters", url.host.size());
    const Url again = Url::parse(url.text().c_str());
    QF_FUZZ_CHECK(sameUrl(url, again), "text() of %zu characters reads back differently", url.text().size());
}

bool isBlank(const std::wstring& text)
{
    return text.find_first_not_of(L" \t") == std::wstring::npos;
}

bool namesWebScheme(const std::wstring& address)
{
    return address.rfind(L"http://", 0) == 0 || address.rfind(L"https://", 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t at = 0;
    const std::wstring address = textFrom(data, size, at);
    const std::wstring location = textFrom(data, size, at);
    if (location.size() <= kLongestStepwisePath)
        QF_FUZZ_CHECK(removeDotSegments(location) == stepwiseDotSegments(location),
                      "dot segments of a path of %zu characters", location.size());
    Url url;
    try {
        url = Url::parse(address.c_str());
    } catch (const std::out_of_range&) {
        QF_FUZZ_CHECK(isBlank(address) || address.find(L'/') == std::wstring::npos,
                      "out_of_range for an address of %zu characters with a '/'", address.size());
        return 0;
    } catch (const RSS::RSSException&) {
        return 0;
    }
    QF_FUZZ_CHECK(!isBlank(address), "split a blank address of %zu characters", address.size());
    checkSplit(url);
    const std::wstring target = resolveReference(url.text(), location);
    if (!namesWebScheme(target))
        return 0;
    try {
        checkSplit(Url::parse(target.c_str()));
    } catch (const RSS::RSSException&) {
    }
    return 0;
}
