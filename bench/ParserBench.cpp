// Parse speed of our XmlParser against pugixml, tinyxml2, libxml2 and expat on
// generated RSS 2.0 documents of about 20 KB, 1 MB and 20 MB. Every row builds
// its parser's tree from the whole document and frees it again, inside the
// timed loop. Counters: bytes_per_second, and from one extra parse outside the
// timing, the heap's peak during the parse and the tree left afterwards, each
// per byte of input (peak_per_input, tree_per_input).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "ExpatTree.h"
#include "FeedGenerator.h"
#include "base/RSSException.h"
#include "xml/XmlNode.h"
#include "xml/XmlParser.h"

namespace {

struct Document {
    const char* label;
    std::string bytes;
};

// One parse: builds the tree; `keep` runs while the tree is still alive.
using Parse = std::function<void(const std::string& input, const std::function<void()>& keep)>;

[[noreturn]] void parseFailed(const char* parser)
{
    std::fprintf(stderr, "%s could not parse a generated document\n", parser);
    std::exit(1);
}

void parseOurs(const std::string& input, const std::function<void()>& keep)
{
    XmlNode document;
    try {
        XmlParser parser(input, &document);
        benchmark::DoNotOptimize(parser.encoding.data());
    } catch (const RSS::XMLException&) {
        parseFailed("XmlParser");
    }
    if (document.children.empty())
        parseFailed("XmlParser");
    keep();
}

void parsePugixml(const std::string& input, const std::function<void()>& keep)
{
    pugi::xml_document document;
    if (!document.load_buffer(input.data(), input.size()))
        parseFailed("pugixml");
    keep();
}

void parseTinyxml2(const std::string& input, const std::function<void()>& keep)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(input.data(), input.size()) != tinyxml2::XML_SUCCESS)
        parseFailed("tinyxml2");
    keep();
}

void parseLibxml2(const std::string& input, const std::function<void()>& keep)
{
    xmlDocPtr document = xmlReadMemory(input.data(), static_cast<int>(input.size()), "feed.xml", nullptr,
                                       XML_PARSE_NONET | XML_PARSE_HUGE);
    if (!document)
        parseFailed("libxml2");
    keep();
    xmlFreeDoc(document);
}

void parseExpat(const std::string& input, const std::function<void()>& keep)
{
    ExpatNode document;
    if (!parseWithExpat(input.data(), input.size(), document))
        parseFailed("expat");
    keep();
}

void runParse(benchmark::State& state, const Parse& parse, const Document& doc)
{
    const std::function<void()> nothing = [] {};
    for (auto _ : state)
        parse(doc.bytes, nothing);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(doc.bytes.size()));

    long long tree = 0;
    counting::start();
    parse(doc.bytes, [&tree] { tree = counting::live(); });
    counting::stop();
    const double size = static_cast<double>(doc.bytes.size());
    state.counters["peak_per_input"] = static_cast<double>(counting::peak()) / size;
    state.counters["tree_per_input"] = static_cast<double>(tree) / size;
    state.counters["input_bytes"] = size;
}

void* countingMalloc(size_t bytes)
{
    return counting::allocate(bytes);
}

} // namespace

int main(int argc, char** argv)
{
    // The C libraries allocate through the counter too; it only counts
    // during a measurement, so the timed loops pay one test per call.
    pugi::set_memory_management_functions(countingMalloc, counting::release);
    xmlMemSetup(counting::release, countingMalloc, counting::reallocate, counting::duplicate);
    xmlInitParser();

    static const std::vector<Document> documents = {
        {"20KB", makeRssDocument(20 * 1024)},
        {"1MB", makeRssDocument(1024 * 1024)},
        {"20MB", makeRssDocument(20 * 1024 * 1024)},
    };
    static const std::pair<const char*, Parse> parsers[] = {
        {"ours", parseOurs},       {"pugixml", parsePugixml}, {"tinyxml2", parseTinyxml2},
        {"libxml2", parseLibxml2}, {"expat", parseExpat},
    };
    for (const Document& doc : documents)
        for (const auto& [name, parse] : parsers)
            benchmark::RegisterBenchmark((std::string(name) + "/" + doc.label).c_str(), [&parse = parse, &doc](
                                                                                            benchmark::State& state) {
                runParse(state, parse, doc);
            })->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    xmlCleanupParser();
    return 0;
}
