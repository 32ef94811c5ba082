#include "SampleFeeds.h"

#include "E2eSupport.h"

namespace {
const std::wstring kNews = L"Wiadomości z Doliny Bobru";
const std::wstring kLibrary = L"Biblioteka Miejska — nowości";
const std::wstring kNotes = L"quillFeed engineering notes";
} // namespace

const std::vector<SampleItem>& sampleItems()
{
    static const std::vector<SampleItem> items = {
        {kNews, L"Nowy rozkład jazdy pociągów do Wrocławia", L"http://dolina-bobru.example/2025/03/rozklad-jazdy",
         L"http://dolina-bobru.example/2025/03/rozklad-jazdy", 1741584600},
        {kNews, L"Źródło w parku zdrojowym znów czynne", L"http://dolina-bobru.example/2025/03/zrodlo",
         L"dolina-bobru-2025-0311-zrodlo", 1741698300},
        {kNews, L"Śnieżka: szlak na szczyt zamknięty do piątku", L"http://dolina-bobru.example/2025/03/sniezka",
         L"dolina-bobru-2025-0312-sniezka", 1741769100},
        {kLibrary, L"„Księgi Jakubowe” znów dostępne", L"http://biblioteka.example/ksiazka/4711", L"bib-4711",
         1740996000},
        {kLibrary, L"Warsztaty kaligrafii dla dzieci", L"http://biblioteka.example/wydarzenia/kaligrafia",
         L"http://biblioteka.example/wydarzenia/kaligrafia", 1741364400},
        {kNotes, L"Why the parser drops line breaks", L"http://notes.quillfeed.example/line-breaks",
         L"http://notes.quillfeed.example/line-breaks", 1740398400},
        {kNotes, L"Testing under Wine, from Zürich to Łódź", L"http://notes.quillfeed.example/wine",
         L"http://notes.quillfeed.example/wine", 1741289400},
        {kNotes, L"Release 1.0 notes", L"http://notes.quillfeed.example/release-1.0",
         L"http://notes.quillfeed.example/release-1.0", 1741799700},
    };
    return items;
}

const SampleItem kNewEngineeringItem = {kNotes, L"Release 1.0.1: a fix for long feed lists",
                                        L"http://notes.quillfeed.example/release-1.0.1",
                                        L"http://notes.quillfeed.example/release-1.0.1", 1741946400};

void serveSamples(LoopbackServer& server)
{
    for (const char* name : {"wiadomosci.xml", "biblioteka.xml", "engineering.xml", "broken.xml"})
        server.serve(std::string("/") + name, sampleBytes(name));
}

std::vector<std::wstring> sampleFeedList(const LoopbackServer& server)
{
    return {server.url("/wiadomosci.xml"), server.url("/biblioteka.xml"), server.url("/engineering.xml"),
            server.url("/broken.xml"), server.url("/missing.xml")};
}

std::string engineeringWithNewItem()
{
    std::string feed = sampleBytes("engineering.xml");
    const std::string anchor = "<language>en</language>";
    feed.insert(feed.find(anchor) + anchor.size(),
                "\n    <item>\n      <title>Release 1.0.1: a fix for long feed lists</title>\n"
                "      <link>http://notes.quillfeed.example/release-1.0.1</link>\n"
                "      <guid>http://notes.quillfeed.example/release-1.0.1</guid>\n"
                "      <pubDate>Fri, 14 Mar 2025 10:00:00 GMT</pubDate>\n    </item>");
    return feed;
}
