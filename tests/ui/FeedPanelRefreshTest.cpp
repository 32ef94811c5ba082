// A real refresh through the registered timer callback: feeds fetched from a
// loopback server, read, and shown in the tree by the worker's rebuild, whose
// messages this thread carries out while it pumps.
#include "LoopbackServer.h"
#include "PanelFixture.h"
#include "host/HostProtocol.h"
#include "services/SettingsStore.h"

namespace {

constexpr int kNoImage = -1;

// An ISO 8859-2 feed: "Wiadomości", "Zażółć", "Treść" in that code page.
const std::string kPolishFeed = "<?xml version=\"1.0\" encoding=\"iso-8859-2\"?>\n"
                                "<rss version=\"2.0\"><channel>"
                                "<title>Wiadomo\xB6"
                                "ci</title>"
                                "<link>http://127.0.6.1/</link>"
                                "<description>Za\xBF\xF3\xB3\xE6</description>"
                                "<language>pl</language>"
                                "<copyright>Autor</copyright>"
                                "<category>news</category>"
                                "<item><title>Pierwsza</title>"
                                "<link>http://127.0.6.1/1</link>"
                                "<description>Tre\xB6\xE6</description>"
                                "<author>jan</author>"
                                "<pubDate>Tue, 14 Nov 2023 22:13:20 GMT</pubDate>"
                                "<category>kraj</category>"
                                "<source>PAP</source>"
                                "<comments>http://127.0.6.1/1#c</comments>"
                                "<guid>g1</guid></item>"
                                "<item><title>Druga</title></item>"
                                "</channel></rss>";

std::string titledFeed(const std::string& title)
{
    return "<rss version=\"2.0\"><channel><title>" + title + "</title></channel></rss>";
}

class PanelRefresh : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        ASSERT_NE(createPanel(), nullptr);
        sendPanelEvent(1);
    }
};

TEST_F(PanelRefresh, TimerRefreshShowsEveryChannelReadInListOrder)
{
    LoopbackServer first("127.0.6.1");
    LoopbackServer second("127.0.6.2");
    first.serve("/one.xml", kPolishFeed);
    second.serve("/two.xml", titledFeed("Second \xE2\x9C\x93"));
    host.setValue(kFeedsKey,
                  first.url("/one.xml") + L"\r\n" + first.url("/missing.xml") + L"\r\n" + second.url("/two.xml"));
    ASSERT_TRUE(runRefresh(1));

    auto tree = nodes();
    ASSERT_EQ(texts(tree), (std::vector<std::wstring>{L"Wiadomości", L"Second ✓"})) << "the missing feed shows nothing";
    EXPECT_EQ(tree[0].image, 0);
    EXPECT_EQ(tree[1].image, 0);
    EXPECT_TRUE(tree[1].children.empty());
    const auto& lines = tree[0].children;
    ASSERT_EQ(texts(lines),
              (std::vector<std::wstring>{L"Zażółć", L"http://127.0.6.1/", L"Kategoria: news", L"Prawa autorskie: Autor",
                                         L"Język: pl", L"Pierwsza", L"Druga"}));
    EXPECT_EQ(lines[1].image, 2);
    EXPECT_EQ(lines[1].data, 1);
    EXPECT_EQ(lines[5].image, 1);
    EXPECT_TRUE(lines[6].children.empty());
    EXPECT_EQ(
        texts(lines[5].children),
        (std::vector<std::wstring>{L"http://127.0.6.1/1", L"Treść", L"Autor: jan", L"Data: Tue Nov 14 22:13:20 2023",
                                   L"Kategoria: kraj", L"Źródło: PAP", L"Komentarz: http://127.0.6.1/1#c"}));
    EXPECT_EQ(lines[5].children[0].data, 1);
    EXPECT_EQ(lines[5].children[1].image, kNoImage);
}

TEST_F(PanelRefresh, TreeKeepsTheOldContentUntilTheNextRefreshEnds)
{
    LoopbackServer server("127.0.6.3");
    server.serve("/old.xml", titledFeed("Old"));
    ScriptedResponse slow = httpResponse(titledFeed("New"));
    slow.mode = ScriptedResponse::Mode::Drip;
    slow.dripIntervalMs = 10;
    server.serve("/new.xml", slow);

    host.setValue(kFeedsKey, server.url("/old.xml"));
    ASSERT_TRUE(runRefresh(1));
    ASSERT_EQ(texts(nodes()), std::vector<std::wstring>{L"Old"});

    host.setValue(kFeedsKey, server.url("/new.xml"));
    startRefresh(3);
    ASSERT_TRUE(pumpUntil([&] { return server.connectionCount() == 2; }, kNoHang));
    pumpUntil([] { return false; }, std::chrono::milliseconds(200)); // the answer is still dripping
    EXPECT_EQ(server.finishedCount(), 1u) << "the slow answer ended too soon to look in between";
    EXPECT_EQ(texts(nodes()), std::vector<std::wstring>{L"Old"}) << "emptied before the rebuild";

    ASSERT_TRUE(waitForRefreshes());
    EXPECT_EQ(texts(nodes()), std::vector<std::wstring>{L"New"});
}

TEST_F(PanelRefresh, RefreshWhereEveryFeedFailsEmptiesTheTree)
{
    LoopbackServer server("127.0.6.4");
    server.serve("/feed.xml", titledFeed("Shown"));
    host.setValue(kFeedsKey, server.url("/feed.xml"));
    ASSERT_TRUE(runRefresh(1));
    ASSERT_EQ(texts(nodes()), std::vector<std::wstring>{L"Shown"});

    host.setValue(kFeedsKey, server.url("/gone.xml") + L"\r\n");
    ASSERT_TRUE(runRefresh(1));
    EXPECT_TRUE(nodes().empty());
}

} // namespace
