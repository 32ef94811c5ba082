// The real DLL, hosted by the devhost's own services, refreshing the bundled
// sample feeds from a loopback server: what it announces and what it shows.
#include <gtest/gtest.h>

#include <memory>

#include "E2eSupport.h"
#include "HostedPlugin.h"
#include "LoopbackServer.h"
#include "SampleFeeds.h"
#include "TestTime.h"
#include "devhost/FeedList.h"

namespace {

using Lines = std::vector<std::wstring>;

std::wstring itemNotification(const SampleItem& item)
{
    return L"Image/RSS | 3 | " + item.title + L" | (null)";
}

std::wstring newsLine(const SampleItem& item)
{
    return item.id + L" | " + item.title + L" | " + item.channel + L" | " + item.link + L" | Image/RSS | " +
           std::to_wstring(item.time);
}

// The two failing addresses of the sample list, reported when they start failing.
Lines errorNotifications(const LoopbackServer& server)
{
    const std::string broken = sampleBytes("broken.xml");
    const size_t position = broken.find("</itme>") + std::string("</itme").size(); // at its '>'
    return {L"Image/Warning32 | 0 | XML error - " + server.url("/broken.xml") +
                L" | Wrong nesting, expecting itme but found item at position " + std::to_wstring(position),
            L"Image/Warning32 | 0 | RSS error - " + server.url("/missing.xml") +
                L" | HTTP response code diffrent than 200 received"};
}

class SampleRefresh : public ::testing::Test {
protected:
    static void SetUpTestSuite() { useUtc(); }

    void start(const char* address)
    {
        server = std::make_unique<LoopbackServer>(address);
        serveSamples(*server);
        std::wstring error;
        ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join(sampleFeedList(*server)), error)) << error;
        ASSERT_TRUE(plugin.load());
    }

    ScratchFolder scratch;
    HostedPlugin plugin{scratch.path(L"quillFeed.cfg")};
    std::unique_ptr<LoopbackServer> server;
};

TEST_F(SampleRefresh, FirstNotifyingRefreshAnnouncesEveryDatedItemAndReportsTheFailingFeeds)
{
    start("127.0.7.1");
    ASSERT_TRUE(plugin.refresh(true));

    Lines expectedNotifications, expectedNews;
    for (const SampleItem& item : sampleItems()) {
        expectedNotifications.push_back(itemNotification(item));
        expectedNews.push_back(newsLine(item));
    }
    for (const std::wstring& error : errorNotifications(*server))
        expectedNotifications.push_back(error);
    EXPECT_EQ(describe(plugin.host.events().notifications()), expectedNotifications);
    EXPECT_EQ(describe(plugin.host.events().newsEntries()), expectedNews);
    // Each item's notification comes right before its news entry.
    const auto events = plugin.host.events().all();
    for (size_t i = 0; i + 1 < events.size(); ++i)
        if (events[i].kind == HostEvent::Kind::NewsEntry) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(events[i - 1].kind, HostEvent::Kind::Notification) << i;
            EXPECT_EQ(events[i - 1].notification.title, events[i].news.title) << i;
        }
}

TEST_F(SampleRefresh, PanelShowsEveryChannelReadWithItsDetailsAndItems)
{
    start("127.0.7.2");
    ASSERT_TRUE(plugin.refresh(true));
    const Lines expected = {
        L"Wiadomości z Doliny Bobru",
        L"  Codzienne wiadomości z Jeleniej Góry i okolic",
        L"  <http://dolina-bobru.example/>",
        L"  Kategoria: Wiadomości lokalne",
        L"  Prawa autorskie: Redakcja Doliny Bobru",
        L"  Język: pl",
        L"  Nowy rozkład jazdy pociągów do Wrocławia",
        L"    <http://dolina-bobru.example/2025/03/rozklad-jazdy>",
        L"    Od poniedziałku pociągi pojadą częściej, także wieczorem.",
        L"    Autor: redakcja@dolina-bobru.example (Zofia Żak)",
        L"    Data: Mon Mar 10 05:30:00 2025",
        L"    Kategoria: Transport",
        L"  Źródło w parku zdrojowym znów czynne",
        L"    <http://dolina-bobru.example/2025/03/zrodlo>",
        L"    Pijalnia wód w Cieplicach wraca po zimowej przerwie.",
        L"    Data: Tue Mar 11 13:05:00 2025",
        L"    Kategoria: Cieplice",
        L"    Komentarz: http://dolina-bobru.example/2025/03/zrodlo#komentarze",
        L"  Śnieżka: szlak na szczyt zamknięty do piątku",
        L"    <http://dolina-bobru.example/2025/03/sniezka>",
        L"    Oblodzenie na Drodze Jubileuszowej; służby proszą o ostrożność.",
        L"    Autor: gory@dolina-bobru.example (Łukasz Gęba)",
        L"    Data: Wed Mar 12 08:45:00 2025",
        L"    Źródło: Karkonoski Park Narodowy",
        L"  Zaproszenie: spotkanie z czytelnikami",
        L"    <http://dolina-bobru.example/spotkanie>",
        L"    Stała zapowiedź bez daty, odświeżana co miesiąc.",
        L"Biblioteka Miejska — nowości",
        L"  Nowe książki, audiobooki i wydarzenia w bibliotece",
        L"  <http://biblioteka.example/nowosci>",
        L"  Język: pl-PL",
        L"  „Księgi Jakubowe” znów dostępne",
        L"    <http://biblioteka.example/ksiazka/4711>",
        L"    Trzy nowe egzemplarze w wypożyczalni głównej.",
        L"    Data: Mon Mar 03 10:00:00 2025",
        L"    Kategoria: Literatura polska",
        L"  Warsztaty kaligrafii dla dzieci",
        L"    <http://biblioteka.example/wydarzenia/kaligrafia>",
        L"    Sobota, godz. 11:00, sala na piętrze. Zapisy przy ladzie.",
        L"    Autor: wydarzenia@biblioteka.example (Ewa Ślązak)",
        L"    Data: Fri Mar 07 16:20:00 2025",
        L"quillFeed engineering notes",
        L"  How the plug-in is built and tested",
        L"  <http://notes.quillfeed.example/>",
        L"  Język: en",
        L"  Why the parser drops line breaks",
        L"    <http://notes.quillfeed.example/line-breaks>",
        L"    Text keeps its blanks and loses CR, LF and TAB — by design.",
        L"    Data: Mon Feb 24 12:00:00 2025",
        L"  Testing under Wine, from Zürich to Łódź",
        L"    <http://notes.quillfeed.example/wine>",
        L"    Every test runs the real DLL; nothing is mocked at the socket.",
        L"    Autor: ci@quillfeed.example (Build bot)",
        L"    Data: Thu Mar 06 19:30:00 2025",
        L"  Release 1.0 notes",
        L"    <http://notes.quillfeed.example/release-1.0>",
        L"    Data: Wed Mar 12 17:15:00 2025",
    };
    EXPECT_EQ(outlineOf(plugin.host.panels()), expected);
}

TEST_F(SampleRefresh, SecondRefreshAnnouncesNothingNewAndShowsTheSameTree)
{
    start("127.0.7.3");
    ASSERT_TRUE(plugin.refresh(true));
    const Lines firstTree = outlineOf(plugin.host.panels());
    const size_t mark = plugin.host.events().size();

    ASSERT_TRUE(plugin.refresh(true));
    EXPECT_EQ(describe(plugin.notificationsSince(mark)), Lines{}) << "the same failures are not warned of again";
    EXPECT_EQ(describe(plugin.newsSince(mark)), Lines{});
    EXPECT_EQ(outlineOf(plugin.host.panels()), firstTree);
    // Every address again but the one whose <ttl> of 30 minutes is not over.
    EXPECT_EQ(server->requests().size(), 2 * sampleFeedList(*server).size() - 1);
}

TEST_F(SampleRefresh, NewlyServedItemIsAnnouncedOnce)
{
    start("127.0.7.4");
    ASSERT_TRUE(plugin.refresh(true));
    server->serve("/engineering.xml", engineeringWithNewItem());

    size_t mark = plugin.host.events().size();
    ASSERT_TRUE(plugin.refresh(true));
    EXPECT_EQ(describe(plugin.notificationsSince(mark)), Lines{itemNotification(kNewEngineeringItem)});
    EXPECT_EQ(describe(plugin.newsSince(mark)), Lines{newsLine(kNewEngineeringItem)});
    const Lines tree = outlineOf(plugin.host.panels());
    EXPECT_NE(std::find(tree.begin(), tree.end(), L"  " + kNewEngineeringItem.title), tree.end());

    mark = plugin.host.events().size();
    ASSERT_TRUE(plugin.refresh(true));
    EXPECT_EQ(describe(plugin.notificationsSince(mark)), Lines{});
    EXPECT_EQ(describe(plugin.newsSince(mark)), Lines{});
}

Lines logMessagesOf(const std::vector<LogLine>& lines)
{
    Lines messages;
    for (const LogLine& line : lines)
        messages.push_back(line.message);
    return messages;
}

TEST(RunningTimer, FirstEventIsSilentAndLaterNotifyingEventsAnnounceOnlyNewItems)
{
    useUtc();
    LoopbackServer server("127.0.7.5");
    serveSamples(server);
    ScratchFolder scratch;
    HostedPlugin plugin(scratch.path(L"quillFeed.cfg"), TimerService::Mode::Running);
    std::wstring error;
    ASSERT_TRUE(plugin.host.storeFeedList(FeedList::join(sampleFeedList(server)), error)) << error;

    ASSERT_TRUE(plugin.load()); // the timer's first event starts a refresh at once
    ASSERT_TRUE(plugin.host.events().waitForWorkersEnded(1, kRefreshLimitMs));
    EXPECT_EQ(describe(plugin.host.events().notifications()), errorNotifications(server));
    EXPECT_EQ(plugin.host.events().newsEntries().size(), 0u);
    EXPECT_EQ(plugin.host.panels().outline().front().text, sampleItems().front().channel);

    server.serve("/engineering.xml", engineeringWithNewItem());
    const size_t mark = plugin.host.events().size();
    ASSERT_TRUE(plugin.refresh(true));
    EXPECT_EQ(describe(plugin.newsSince(mark)), Lines{newsLine(kNewEngineeringItem)})
        << "notifications: " << testing::PrintToString(describe(plugin.notificationsSince(mark)))
        << "\nrequests: " << testing::PrintToString(server.requests().size())
        << "\nlog: " << testing::PrintToString(logMessagesOf(plugin.host.events().logLines()));
    plugin.unload();
    EXPECT_EQ(plugin.host.timers().timers().size(), 0u);
}

} // namespace
