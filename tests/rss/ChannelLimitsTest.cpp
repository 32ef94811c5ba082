// The channel reading's own limits just kept and just exceeded, each refusal at the document's end.
#include <gtest/gtest.h>

#include "base/RSSException.h"
#include "rss/ChannelItems.h"
#include "rss/ChannelReader.h"
#include "xml/XmlLimits.h"

namespace {

void expectRefused(const std::string& document, const std::wstring& message)
{
    try {
        readChannel(document);
        ADD_FAILURE() << "read: " << document.substr(0, 40);
    } catch (const RSS::XMLException& e) {
        EXPECT_EQ(e.message, message);
        EXPECT_EQ(e.position, static_cast<int32_t>(document.size()));
    }
}

TEST(ChannelLimits, ItemsAndAFieldsWholeText)
{
    std::string items, entries;
    for (size_t i = 0; i < kMaxItems; ++i)
        items += "<item/>", entries += "<entry/>";
    EXPECT_EQ(readChannel("<rss><channel>" + items).items.size(), kMaxItems);
    const std::string rdf = "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#' "
                            "xmlns='http://purl.org/rss/1.0/'>";
    for (const std::string& document : {"<rss><channel>" + items + "<item/>", rdf + items + "<item/>",
                                        "<feed xmlns='http://www.w3.org/2005/Atom'>" + entries + "<entry/>"})
        expectRefused(document, L"More than " + std::to_wstring(kMaxItems) + L" items in the channel");
    const std::string half(Xml::kMaxTextBytes / 2, 'x'), title = "<rss><channel><title><b>" + half + "</b>" + half;
    EXPECT_EQ(readChannel(title + "</title>").title, std::wstring(Xml::kMaxTextBytes, L'x'));
    expectRefused(title + "y</title>", L"Text longer than " + std::to_wstring(Xml::kMaxTextBytes) + L" bytes");
}

} // namespace
