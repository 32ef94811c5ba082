// How long the link resolution takes on the longest and most segmented links
// a hostile feed could hold: N MiB of "/a" segments, of "a/../" pairs and of
// "/.." steps, resolved against a feed's address. Prints one line per shape.
// Usage: qf_link_bench [mebibytes]     (default 16; the target is under 1 s each)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/UrlReference.h"

namespace {

constexpr double kTargetSeconds = 1.0; // a 16 MiB link, resolved natively

std::wstring repeated(const wchar_t* piece, size_t characters)
{
    std::wstring text;
    const std::wstring unit(piece);
    text.reserve(characters + unit.size());
    while (text.size() < characters)
        text += unit;
    return text;
}

double secondsToResolve(const std::wstring& link, size_t& resultLength)
{
    const auto start = std::chrono::steady_clock::now();
    resultLength = resolveReference(L"http://example.com/news/feed.xml", link).size();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 16;
    const size_t characters = mebibytes << 20;
    const struct {
        const char* name;
        const wchar_t* piece;
    } shapes[] = {{"segments /a", L"/a"}, {"pairs a/../", L"a/../"}, {"steps /..", L"/.."}};
    bool withinTarget = true;
    for (const auto& shape : shapes) {
        size_t resultLength = 0;
        const double seconds = secondsToResolve(repeated(shape.piece, characters), resultLength);
        std::printf("%-12s %4zu MiB: %.3f s (result %zu characters)\n", shape.name, mebibytes, seconds, resultLength);
        withinTarget = withinTarget && seconds <= kTargetSeconds;
    }
    std::printf("%s\n", withinTarget ? "every shape within 1 s" : "a shape took over 1 s");
    return 0;
}
