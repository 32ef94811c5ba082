// Refresh at scale through the real quillFeed.dll, printed as RESULT lines for
// scripts/bench-refresh, which also times curl against the same server when
// this program asks for it (a "CURL" line answered with "<ms> <ok count>").
//
//   bench_refresh refresh [--runs N] [--address A] [--feeds F] [--items I] [--curl no]
//                                                     200 feeds of 50 items unless told
//   bench_refresh https   [--runs N] [--feeds F] [--items I] [--curl no]
//                                                     the same 200 feeds from the TLS test
//                                                     server (tests/support/tls), which
//                                                     serves what this writes to its docs/
//   bench_refresh compressed [--runs N] [--address A] [--feeds F] [--items I] [--curl no]
//                                                     the same feeds, each run a round answered
//                                                     plain then one answered gzip to whoever
//                                                     asks for it (curl with --compressed in both)
//   bench_refresh memory  [--address A] [--megabytes M] [--code C]
//                                                     one feed of M MB, timer code C
//                                                     (3 notifying, the default; 1 silent)
//   bench_refresh stalled [--address A] [--feeds F] [--megabytes M] [--delay-ms D]
//                                                     a first feed that answers after D ms
//                                                     (from A's neighbour .1 higher), then F
//                                                     feeds of M MB: how much the fetches
//                                                     hold while the first one stalls
//   bench_refresh hostile [--address A] [--megabytes M] [--feeds F]
//                                                     F feeds, each a hostile body of M MB
//                                                     (bench/HostileBodies.h, shapes in turn),
//                                                     read in one notifying refresh
//   bench_refresh panel   [--runs N] [--address A] [--feeds F] [--items I] [--open O]
//                                                     one DLL refreshing F feeds of I items four
//                                                     times (first fill, unchanged, one new item
//                                                     in each, all new), O channels opened after
//                                                     the first: the host thread's time in the panel
//   bench_refresh slow    [--runs N] [--address A] [--feeds F] [--items I] [--delay-ms D]
//                                                     F feeds that each answer after D ms,
//                                                     refreshed twice, the list unchanged
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchFeeds.h"
#include "base/RSSException.h"
#include "HostileBodies.h"
#include "BenchServer.h"
#include "LoopbackServer.h"
#include "PlainFetch.h"
#include "RealPlugin.h"
#include "RecordingHost.h"
#include "TestPaths.h"
#include "TestRoot.h"
#include "TestTime.h"
#include "TreeProbe.h"
#include "Wide.h"
#include "WindowTestKit.h"
#include "host/HostProtocol.h"
#include "net/HttpClient.h"
#include "net/Url.h"
#include "rss/FeedReader.h"
#include "services/SettingsStore.h"

namespace {

constexpr size_t kFeeds = 200;
constexpr size_t kItems = 50;
constexpr size_t kDescriptionBytes = 600;
constexpr auto kRefreshLimit = std::chrono::minutes(5);

struct Options {
    std::string mode = "refresh";
    int runs = 5;
    std::string address = "127.0.8.200";
    size_t megabytes = 20;
    size_t feeds = kFeeds;
    size_t items = kItems;
    int32_t timerCode = 3;
    uint32_t delayMs = 300;
    size_t open = 10; // channels the reader opens (panel mode)
    bool curl = true; // "--curl no": nobody on stdin to time curl (the smoke run)
};

Options parse(int argc, char** argv)
{
    Options options;
    if (argc > 1)
        options.mode = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--runs")
            options.runs = atoi(argv[i + 1]);
        else if (name == "--address")
            options.address = argv[i + 1];
        else if (name == "--megabytes")
            options.megabytes = static_cast<size_t>(atoi(argv[i + 1]));
        else if (name == "--feeds")
            options.feeds = static_cast<size_t>(atoi(argv[i + 1]));
        else if (name == "--items")
            options.items = static_cast<size_t>(atoi(argv[i + 1]));
        else if (name == "--code")
            options.timerCode = atoi(argv[i + 1]);
        else if (name == "--delay-ms")
            options.delayMs = static_cast<uint32_t>(atoi(argv[i + 1]));
        else if (name == "--open")
            options.open = static_cast<size_t>(atoi(argv[i + 1]));
        else if (name == "--curl")
            options.curl = std::string(argv[i + 1]) != "no";
    }
    return options;
}

double elapsedMs(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void result(int run, const char* key, double value)
{
    printf("RESULT %d %s %.3f\n", run, key, value);
}

std::wstring joinLines(const std::vector<std::string>& urls)
{
    std::wstring list;
    for (const std::string& url : urls)
        list += (list.empty() ? L"" : L"\r\n") + wide(url);
    return list;
}

// Asks the script to fetch every address with curl; its answer is "<ms> <answers of 200>".
// Without a server of ours (https), what it served is not counted.
bool curlPhase(int run, const BenchServer* server, const std::string& prefix = "")
{
    const size_t before = server ? server->answered() : 0;
    printf("CURL\n");
    char line[128];
    if (fgets(line, sizeof line, stdin) == nullptr)
        return false;
    double ms = 0;
    int ok = 0;
    if (sscanf(line, "%lf %d", &ms, &ok) != 2)
        return false;
    result(run, (prefix + "curl_ms").c_str(), ms);
    result(run, (prefix + "curl_ok").c_str(), ok);
    if (server)
        result(run, (prefix + "curl_served").c_str(), static_cast<double>(server->answered() - before));
    return true;
}

// Plain blocking WinSock fetches of each path, WinSock held started meanwhile.
void plainPhase(int run, const std::string& address, const std::vector<std::string>& paths)
{
    struct Variant {
        const char* key;
        PlainFetchStyle style;
    };
    const Variant variants[] = {
        {"winsock_ms", {1 << 16, false}},
        {"winsock_4k_ms", {4095, false}},
        {"winsock_4k_startup_ms", {4095, true}},
    };
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    for (const Variant& variant : variants) {
        size_t bytes = 0;
        result(run, variant.key, elapsedMs([&] {
                   for (const std::string& path : paths)
                       bytes += plainFetch(address, path, variant.style);
               }));
        if (bytes == 0)
            printf("ERROR %s fetched nothing\n", variant.key);
    }
    WSACleanup();
}

// The same code as the DLL's, linked in: the fetch alone, then fetch, parse and read.
void linkedPhases(int run, const std::vector<std::string>& urls, const std::string& prefix = "")
{
    const FetchControl control;
    size_t bytes = 0;
    result(run, (prefix + "client_ms").c_str(), elapsedMs([&] {
               for (const std::string& url : urls)
                   bytes += HttpClient::fetch(Url::parse(wide(url).c_str()), control).size();
           }));
    result(run, (prefix + "client_bytes").c_str(), static_cast<double>(bytes));
    if (!prefix.empty())
        return; // the https rounds time the fetches alone
    size_t items = 0;
    result(run, "readfeed_ms", elapsedMs([&] {
               for (const std::string& url : urls)
                   items += readFeed(Url::parse(wide(url).c_str()), control).channel.items.size();
           }));
    result(run, "readfeed_items", static_cast<double>(items));
}

struct Announced {
    size_t notifications = 0;
    size_t news = 0;
    size_t errors = 0;
};

Announced announcedBy(const RecordingHost& host)
{
    Announced counts;
    for (const RecordedCall& call : host.callsTo(L"WTW/ShowStandardNotify"))
        ++(call.field<uint32_t>(40) == 3 ? counts.notifications : counts.errors);
    counts.news = host.count(L"News/AddEntry");
    return counts;
}

// Keys carry the prefix, so the memory runs' timings stay apart from the rounds'.
void reportRefresh(int run, const std::string& prefix, const RefreshTimeline& timeline, const RecordingHost& host,
                   HWND tree)
{
    const Announced counts = announcedBy(host);
    auto put = [&](const char* key, double value) { result(run, (prefix + key).c_str(), value); };
    put("refresh_completed", timeline.completed ? 1 : 0);
    put("refresh_ms", timeline.ended);
    put("refresh_start_ms", timeline.listRead);
    put("refresh_checks_ms", timeline.updateStart - timeline.listRead);
    put("panel_update_ms", timeline.updateEnd - timeline.updateStart);
    put("refresh_tail_ms", timeline.ended - timeline.updateEnd);
    put("refresh_host_ms", timeline.hostMs);
    put("panel_thread_ms", timeline.panelMs);
    put("panel_inserts", static_cast<double>(timeline.inserts));
    put("panel_deletes", static_cast<double>(timeline.deletes));
    put("panel_texts", static_cast<double>(timeline.texts));
    put("tree_nodes", static_cast<double>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
    put("notifications", static_cast<double>(counts.notifications));
    put("news", static_cast<double>(counts.news));
    put("errors", static_cast<double>(counts.errors));
}

// Every mode needs the real DLL loaded and its panel made; says so when not.
bool started(const RealPlugin& plugin)
{
    if (!plugin.loaded())
        printf("ERROR the DLL could not be loaded and started\n");
    return plugin.loaded();
}

// One notifying refresh of `urls` through a freshly loaded DLL, reported under `prefix`.
bool refreshThroughDll(int run, const std::string& prefix, const std::vector<std::string>& urls, HWND parent,
                       Announced* announced = nullptr)
{
    RecordingHost host;
    host.setValue(kFeedsKey, joinLines(urls));
    RealPlugin plugin(host, parent);
    if (!started(plugin))
        return false;
    reportRefresh(run, prefix, plugin.refresh(3, kRefreshLimit), host, plugin.tree());
    if (announced)
        *announced = announcedBy(host);
    return true;
}

struct ServedFeeds {
    std::vector<std::string> urls;
    std::vector<std::string> paths;
    size_t bytes = 0;
};

// The generated feeds at /feeds/NNN.xml, their addresses printed for the script's curl.
ServedFeeds serveFeeds(BenchServer& server, const Options& options)
{
    ServedFeeds served;
    for (size_t feed = 0; feed < options.feeds; ++feed) {
        char path[32];
        snprintf(path, sizeof path, "/feeds/%03zu.xml", feed);
        std::string document = benchFeed(feed, options.items, kDescriptionBytes);
        served.bytes += document.size();
        server.serve(path, std::move(document));
        served.urls.push_back(server.url(path));
        served.paths.push_back(path);
    }
    for (const std::string& url : served.urls)
        printf("URL %s\n", url.c_str());
    return served;
}

int refreshMode(const Options& options)
{
    BenchServer server(options.address);
    const ServedFeeds served = serveFeeds(server, options);
    const std::vector<std::string>& urls = served.urls;
    const std::vector<std::string>& paths = served.paths;
    result(0, "feed_bytes", static_cast<double>(served.bytes));
    TestWindow parent(400, 700);
    for (int run = 1; run <= options.runs; ++run) {
        const bool curled = options.curl && curlPhase(run, &server);
        plainPhase(run, options.address, paths);
        linkedPhases(run, urls);
        const size_t before = server.answered();
        if (!refreshThroughDll(run, "", urls, parent.handle()))
            return 1;
        result(run, "refresh_served", static_cast<double>(server.answered() - before));
        if (!curled)
            printf("NOTE no curl coordinator on stdin; curl was not timed\n");
    }
    return 0;
}

// The refresh's feeds answered plain, then gzip, to the same clients in the
// same process, so that the two rounds of a run meet the same machine load.
// The server counts what it sends: the bytes each refresh received.
int compressedMode(const Options& options)
{
    BenchServer server(options.address, true);
    const ServedFeeds served = serveFeeds(server, options);
    result(0, "gzip_feed_bytes", static_cast<double>(served.bytes));
    result(0, "gzip_feed_gzip_bytes", static_cast<double>(server.gzipBodyBytes()));
    const size_t expected = options.feeds * options.items;
    TestWindow parent(400, 700);
    for (int run = 1; run <= options.runs; ++run) {
        for (const bool gzip : {false, true}) {
            server.answerGzip(gzip);
            const std::string prefix = gzip ? "gzip_" : "plain_";
            auto put = [&](const char* key, double value) { result(run, (prefix + key).c_str(), value); };
            size_t bytesBefore = server.bytesSent();
            if (options.curl && curlPhase(run, &server, prefix))
                put("curl_bytes", static_cast<double>(server.bytesSent() - bytesBefore));
            linkedPhases(run, served.urls, prefix);
            const size_t answeredBefore = server.answered();
            const size_t gzipBefore = server.gzipAnswered();
            bytesBefore = server.bytesSent();
            Announced announced;
            if (!refreshThroughDll(run, prefix, served.urls, parent.handle(), &announced))
                return 1;
            const size_t answered = server.answered() - answeredBefore;
            const size_t gzipAnswered = server.gzipAnswered() - gzipBefore;
            put("refresh_served", static_cast<double>(answered));
            put("refresh_gzip_answers", static_cast<double>(gzipAnswered));
            put("refresh_bytes", static_cast<double>(server.bytesSent() - bytesBefore));
            // A round that was not compressed, or whose answers were not read
            // whole, would measure something else: said, not averaged in.
            if (gzipAnswered != (gzip ? options.feeds : 0))
                printf("ERROR %s round: %zu of %zu answers were gzip\n", prefix.c_str(), gzipAnswered, answered);
            if (announced.notifications != expected || announced.errors != 0)
                printf("ERROR %s round: %zu of %zu items announced, %zu errors\n", prefix.c_str(),
                       announced.notifications, expected, announced.errors);
        }
    }
    return 0;
}

// The 200 feeds as files the TLS test server serves under /docs/.
std::vector<std::string> writeHttpsFeeds(size_t feeds, size_t items)
{
    const std::string docs = tlsFolder() + "/docs";
    CreateDirectoryW(windowsPath(docs.c_str()).c_str(), nullptr);
    CreateDirectoryW(windowsPath((docs + "/feeds").c_str()).c_str(), nullptr);
    std::vector<std::string> urls;
    for (size_t feed = 0; feed < feeds; ++feed) {
        char path[32];
        snprintf(path, sizeof path, "feeds/%03zu.xml", feed);
        const std::string document = benchFeed(feed, items, kDescriptionBytes);
        FILE* file = _wfopen(windowsPath((docs + "/" + path).c_str()).c_str(), L"wb");
        if (file == nullptr || fwrite(document.data(), 1, document.size(), file) != document.size())
            throw std::runtime_error("cannot write " + docs + "/" + path);
        fclose(file);
        urls.push_back(std::string("https://127.0.17.1/docs/") + path);
    }
    return urls;
}

int httpsMode(const Options& options)
{
    if (!trustTestRoot()) {
        printf("ERROR the test root in %s could not be trusted\n", tlsFolder().c_str());
        return 1;
    }
    const std::vector<std::string> urls = writeHttpsFeeds(options.feeds, options.items);
    for (const std::string& url : urls)
        printf("URL %s\n", url.c_str());
    TestWindow parent(400, 700);
    for (int run = 1; run <= options.runs; ++run) {
        if (options.curl)
            curlPhase(run, nullptr, "https_");
        linkedPhases(run, urls, "https_");
        if (!refreshThroughDll(run, "https_", urls, parent.handle()))
            return 1;
    }
    return 0;
}

constexpr double kMb = 1024.0 * 1024.0;

PROCESS_MEMORY_COUNTERS memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

int memoryMode(const Options& options)
{
    BenchServer server(options.address);
    std::string document = benchFeedOfSize(options.megabytes << 20, 2000);
    const size_t feedBytes = document.size();
    server.serve("/big.xml", std::move(document));
    TestWindow parent(400, 700);
    RecordingHost host;
    host.setValue(kFeedsKey, wide(server.url("/big.xml")));
    RealPlugin plugin(host, parent.handle());
    if (!started(plugin))
        return 1;
    const PROCESS_MEMORY_COUNTERS before = memory();
    const RefreshTimeline timeline = plugin.refresh(options.timerCode, kRefreshLimit);
    const PROCESS_MEMORY_COUNTERS after = memory();
    // A silent refresh announces nothing, so the host keeps no records: its
    // keys show the plug-in's own share apart.
    const std::string prefix = options.timerCode == 1 ? "silent_memory_" : "memory_";
    auto put = [&](const char* key, double value) { result(0, (prefix + key).c_str(), value); };
    put("feed_bytes", static_cast<double>(feedBytes));
    put("ws_before_mb", static_cast<double>(before.WorkingSetSize) / kMb);
    put("peak_before_mb", static_cast<double>(before.PeakWorkingSetSize) / kMb);
    put("peak_after_mb", static_cast<double>(after.PeakWorkingSetSize) / kMb);
    put("ws_after_mb", static_cast<double>(after.WorkingSetSize) / kMb);
    put("peak_delta_mb", static_cast<double>(after.PeakWorkingSetSize - before.WorkingSetSize) / kMb);
    // Reached before the panel's update began: the checks' (fetch, parse, store).
    put("peak_before_panel_mb", static_cast<double>(timeline.peakAtUpdate - before.WorkingSetSize) / kMb);
    reportRefresh(0, prefix, timeline, host, plugin.tree());
    return 0;
}

struct MeasuredRefresh {
    bool started = false;
    RefreshTimeline timeline;
    double peakDelta = 0; // bytes the peak working set rose above the start
    size_t warnings = 0;
};

// One refresh of `list` by a freshly loaded DLL, with the rise of the peak.
MeasuredRefresh measuredRefresh(const std::wstring& list, int32_t code)
{
    MeasuredRefresh measured;
    TestWindow parent(400, 700);
    RecordingHost host;
    host.setValue(kFeedsKey, list);
    RealPlugin plugin(host, parent.handle());
    if (!started(plugin))
        return measured;
    measured.started = true;
    const PROCESS_MEMORY_COUNTERS before = memory();
    measured.timeline = plugin.refresh(code, kRefreshLimit);
    measured.peakDelta = static_cast<double>(memory().PeakWorkingSetSize - before.WorkingSetSize);
    measured.warnings = announcedBy(host).errors;
    return measured;
}

// The address one above `address` in its last byte: a second server beside the first.
std::string neighbour(const std::string& address)
{
    const size_t dot = address.rfind('.');
    return address.substr(0, dot + 1) + std::to_string(atoi(address.c_str() + dot + 1) + 1);
}

int stalledMode(const Options& options)
{
    BenchServer server(options.address);
    LoopbackServer stall(neighbour(options.address));
    ScriptedResponse late = httpResponse(benchFeed(0, 2, 200));
    late.chunks.insert(late.chunks.begin(), "");
    late.pauseBetweenChunksMs = options.delayMs;
    stall.serve("/first.xml", late);
    std::wstring list = stall.url("/first.xml");
    size_t feedBytes = 0;
    for (size_t feed = 0; feed < options.feeds; ++feed) {
        // Long items, so that the tree's inserts stay few beside the bytes.
        std::string document = benchFeedOfSize(options.megabytes << 20, 20000);
        feedBytes = document.size();
        const std::string path = "/big/" + std::to_string(feed) + ".xml";
        server.serve(path, std::move(document));
        list += L"\r\n" + wide(server.url(path));
    }
    const MeasuredRefresh measured = measuredRefresh(list, 1);
    if (!measured.started)
        return 1;
    result(0, "stalled_completed", measured.timeline.completed ? 1 : 0);
    result(0, "stalled_feeds", static_cast<double>(options.feeds));
    result(0, "stalled_feed_mb", static_cast<double>(feedBytes) / kMb);
    result(0, "stalled_peak_delta_mb", measured.peakDelta / kMb);
    result(0, "stalled_ms", measured.timeline.ended);
    return 0;
}

// Served by a thread per connection, so the eight fetches overlap as they
// would against eight servers; each connection sends a copy of its body,
// which the peak counts too (at most one per fetch thread, on top).
int hostileMode(const Options& options)
{
    LoopbackServer server(options.address);
    const std::vector<HostileShape>& shapes = hostileShapes();
    std::wstring list;
    size_t largestBody = 0;
    for (size_t feed = 0; feed < options.feeds; ++feed) {
        const HostileShape& shape = shapes[feed % shapes.size()];
        const std::string body = shape.make(options.megabytes << 20);
        largestBody = std::max(largestBody, body.size());
        printf("FEED %zu %s, %zu bytes\n", feed, shape.name, body.size());
        const std::string path = "/hostile/" + std::to_string(feed) + ".xml";
        server.serve(path, httpResponse(body));
        list += (list.empty() ? L"" : L"\r\n") + server.url(path);
    }
    const MeasuredRefresh measured = measuredRefresh(list, 3);
    if (!measured.started)
        return 1;
    result(0, "hostile_completed", measured.timeline.completed ? 1 : 0);
    result(0, "hostile_feeds", static_cast<double>(options.feeds));
    result(0, "hostile_body_mb", static_cast<double>(largestBody) / kMb);
    result(0, "hostile_peak_delta_mb", measured.peakDelta / kMb);
    result(0, "hostile_peak_per_body", measured.peakDelta / static_cast<double>(largestBody));
    result(0, "hostile_warnings", static_cast<double>(measured.warnings));
    result(0, "hostile_ms", measured.timeline.ended);
    result(0, "hostile_most_at_once", static_cast<double>(server.mostWaitingAtOnce()));
    return 0;
}

// Feeds that each answer after a fixed delay, from a server that answers every
// connection on its own thread, so only the client can put the waits in a row.
// Each run loads a fresh DLL and refreshes twice: the second refresh of the
// unchanged list is answered 304 wherever the request carries the feed's ETag.
ScriptedResponse slowAnswer(size_t feed, const Options& options)
{
    const std::string etag = "\"v" + std::to_string(feed) + "\"";
    ScriptedResponse answer;
    answer.chunks = {"", "HTTP/1.0 200 OK\r\nETag: " + etag + "\r\nContent-Type: text/xml\r\n\r\n" +
                             benchFeed(feed, options.items, 200)};
    answer.pauseBetweenChunksMs = options.delayMs;
    answer.notModifiedIf = "If-None-Match: " + etag + "\r\n";
    return answer;
}

int slowMode(const Options& options)
{
    LoopbackServer server(options.address);
    std::wstring list;
    for (size_t feed = 0; feed < options.feeds; ++feed) {
        const std::string path = "/slow/" + std::to_string(feed) + ".xml";
        server.serve(path, slowAnswer(feed, options));
        list += (list.empty() ? L"" : L"\r\n") + server.url(path);
    }
    server.serve("/slow/single.xml", slowAnswer(options.feeds, options));
    TestWindow parent(400, 700);
    for (int run = 1; run <= options.runs; ++run) {
        RecordingHost host;
        RealPlugin plugin(host, parent.handle());
        if (!started(plugin))
            return 1;
        // The slowest single fetch, as a refresh of one address has it.
        host.setValue(kFeedsKey, server.url("/slow/single.xml"));
        result(run, "slow_single_ms", plugin.refresh(3, kRefreshLimit).ended);
        host.setValue(kFeedsKey, list);
        const char* const keys[] = {"slow_first", "slow_second"};
        for (const char* key : keys) {
            const size_t bytesBefore = server.bytesSent();
            const RefreshTimeline timeline = plugin.refresh(3, kRefreshLimit);
            const std::string prefix = key;
            result(run, (prefix + "_completed").c_str(), timeline.completed ? 1 : 0);
            result(run, (prefix + "_ms").c_str(), timeline.ended);
            result(run, (prefix + "_checks_ms").c_str(), timeline.updateStart - timeline.listRead);
            result(run, (prefix + "_bytes").c_str(), static_cast<double>(server.bytesSent() - bytesBefore));
        }
        result(run, "slow_feeds", static_cast<double>(options.feeds));
        result(run, "slow_delay_ms", options.delayMs);
        result(run, "slow_most_waiting", static_cast<double>(server.mostWaitingAtOnce()));
        result(run, "slow_tree_nodes", static_cast<double>(SendMessageW(plugin.tree(), TVM_GETCOUNT, 0, 0)));
        result(run, "slow_notifications", static_cast<double>(announcedBy(host).notifications));
        result(run, "slow_errors", static_cast<double>(announcedBy(host).errors));
    }
    return 0;
}

// The generated feeds served again: `extra` more items in front of each, the
// items numbered from `first` (the usual ones from 0).
void serveGeneration(BenchServer& server, const ServedFeeds& served, const Options& options, int64_t first,
                     size_t extra)
{
    for (size_t feed = 0; feed < served.paths.size(); ++feed)
        server.serve(served.paths[feed], benchFeed(feed, options.items + extra, kDescriptionBytes, first));
}

// What one refresh cost the host's thread in the panel, under `prefix`.
void reportPanel(int run, const std::string& prefix, const RefreshTimeline& timeline)
{
    auto put = [&](const char* key, double value) { result(run, (prefix + key).c_str(), value); };
    put("completed", timeline.completed ? 1 : 0);
    put("thread_ms", timeline.panelMs);
    put("update_ms", timeline.updateEnd - timeline.updateStart);
    put("inserts", static_cast<double>(timeline.inserts));
    put("deletes", static_cast<double>(timeline.deletes));
    put("texts", static_cast<double>(timeline.texts));
}

// One DLL refreshing the same list four times: the first fill, nothing
// changed, one new item in front of each feed, every item new; `--open N`
// channels opened by the reader after the first fill.
int panelMode(const Options& options)
{
    BenchServer server(options.address);
    const ServedFeeds served = serveFeeds(server, options);
    TestWindow parent(400, 700);
    for (int run = 1; run <= options.runs; ++run) {
        serveGeneration(server, served, options, 0, 0);
        RecordingHost host;
        host.setValue(kFeedsKey, joinLines(served.urls));
        RealPlugin plugin(host, parent.handle());
        if (!started(plugin))
            return 1;
        reportPanel(run, "panel_first_", plugin.refresh(3, kRefreshLimit));
        result(run, "panel_open_ms", plugin.openChannels(options.open));
        result(run, "panel_opened", static_cast<double>(options.open));
        reportPanel(run, "panel_same_", plugin.refresh(3, kRefreshLimit));
        serveGeneration(server, served, options, -1, 1);
        reportPanel(run, "panel_one_new_", plugin.refresh(3, kRefreshLimit));
        serveGeneration(server, served, options, static_cast<int64_t>(options.items) * 10, 0);
        reportPanel(run, "panel_all_new_", plugin.refresh(3, kRefreshLimit));
        result(run, "panel_tree_nodes", static_cast<double>(SendMessageW(plugin.tree(), TVM_GETCOUNT, 0, 0)));
        result(run, "panel_notifications", static_cast<double>(announcedBy(host).notifications));
    }
    return 0;
}

// The rebuild's inserts alone, in the ways they can be made.
int treeMode(const Options& options)
{
    TestWindow parent(400, 700);
    ShowWindow(parent.handle(), SW_SHOW);
    for (const TreeProbeRow& row : probeTreeInserts(parent.handle(), options.feeds, options.items)) {
        printf("RESULT 0 tree_probe_ms[%s] %.3f\n", row.name.c_str(), row.ms);
        printf("RESULT 0 tree_probe_nodes[%s] %zu\n", row.name.c_str(), row.nodes);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0); // the script reads each line as it comes
    useUtc();
    initCommonControls();
    const Options options = parse(argc, argv);
    try {
        if (options.mode == "refresh")
            return refreshMode(options);
        if (options.mode == "compressed")
            return compressedMode(options);
        if (options.mode == "https")
            return httpsMode(options);
        if (options.mode == "memory")
            return memoryMode(options);
        if (options.mode == "tree")
            return treeMode(options);
        if (options.mode == "panel")
            return panelMode(options);
        if (options.mode == "slow")
            return slowMode(options);
        if (options.mode == "stalled")
            return stalledMode(options);
        if (options.mode == "hostile")
            return hostileMode(options);
        printf("ERROR unknown mode %s\n", options.mode.c_str());
    } catch (const std::exception& failure) {
        printf("ERROR %s\n", failure.what());
    } catch (const RSS::NetException& failure) {
        printf("ERROR %ls, error code %d\n", failure.message.c_str(), failure.errorCode);
    } catch (const RSS::RSSException& failure) {
        printf("ERROR %ls\n", failure.message.c_str());
    }
    return 2;
}
