// The page scanner on arbitrary bytes, and on every prefix of them (a page cut
// at any byte): it never reads out of bounds, and whatever it finds is an
// address resolved against the page's (a scheme and a host, or nothing).
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "rss/WebPage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string page(reinterpret_cast<const char*>(data), size);
    isWebPage("text/html", page);
    isWebPage("", page);
    for (size_t cut = size; cut + 64 >= size && cut > 0; --cut) { // the last 64 cuts: pages end anywhere
        const std::wstring link = firstFeedLink(page.substr(0, cut), L"http://page.example/a/b.html");
        QF_FUZZ_CHECK(link.empty() || link.find(L':') != std::wstring::npos, "link of %zu characters", link.size());
    }
    return 0;
}
