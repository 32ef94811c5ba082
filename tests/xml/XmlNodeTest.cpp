// Node ownership: trees of any depth are released without deep recursion.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/RSSException.h"
#include "xml/XmlLimits.h"
#include "xml/XmlNode.h"
#include "xml/XmlNodeBlocks.h"
#include "xml/XmlParser.h"

namespace {

// Depth of the single-child chain under `node`, walked without recursion;
// stops counting at the first node that has other than one child.
size_t chainDepth(const XmlNode& node, const std::string& name)
{
    size_t depth = 0;
    const XmlNode* at = &node;
    while (at->children.size() == 1 && at->children[0]->name == name) {
        at = at->children[0].get();
        ++depth;
    }
    return depth;
}

// Far beyond what recursive destruction survives on a worker thread's stack.
const size_t kHostileDepth = 1000000;

TEST(XmlNode, MillionNestedStartTagsStopAtTheDepthLimitAndAreReleased)
{
    std::string input;
    input.reserve(3 * kHostileDepth);
    for (size_t i = 0; i < kHostileDepth; ++i)
        input += "<a>";
    auto document = std::make_unique<XmlNode>();
    EXPECT_THROW(XmlParser(input, document.get()), RSS::XMLException);
    EXPECT_EQ(chainDepth(*document, "a"), Xml::kMaxDepth);
    document.reset();
}

TEST(XmlNode, DocumentAtTheDepthLimitParsesAndIsReleased)
{
    const size_t depth = Xml::kMaxDepth;
    std::string input;
    for (size_t i = 0; i < depth; ++i)
        input += "<b x='1'>t";
    for (size_t i = 0; i < depth; ++i)
        input += "</b>";
    auto document = std::make_unique<XmlNode>();
    XmlParser parser(input, document.get());
    ASSERT_EQ(chainDepth(*document, "b"), depth);
    const XmlNode* innermost = document.get();
    while (!innermost->children.empty())
        innermost = innermost->children[0].get();
    EXPECT_EQ(innermost->text, "t");
    EXPECT_EQ(innermost->attributes.at("x"), "1");
    document.reset();
}

TEST(XmlNode, DeepAndWideHandBuiltTreeIsReleased)
{
    // Chains hanging off siblings at every level: the work list mixes both shapes.
    auto root = std::make_unique<XmlNode>("root");
    XmlNode* spine = root.get();
    for (int level = 0; level < 100000; ++level) {
        for (int sibling = 0; sibling < 3; ++sibling)
            spine->children.push_back(std::make_unique<XmlNode>("leaf"));
        spine->children.push_back(std::make_unique<XmlNode>("spine"));
        spine->text = "level";
        spine = spine->children.back().get();
    }
    spine->children.push_back(nullptr); // an empty slot is skipped, not followed
    EXPECT_EQ(root->children.size(), 4u);
    root.reset();
}

TEST(XmlNode, ParsedNodesOutliveTheirDocumentAndParser)
{
    // Subtrees taken out of a parsed tree, freed in shuffled order after the
    // document, some on another thread: every node stays valid until its own release.
    std::string input = "<r>";
    for (int i = 0; i < 3000; ++i)
        input +=
            "<item n='" + std::to_string(i) + "'><title>a long enough title " + std::to_string(i) + "</title></item>";
    const size_t blocksBefore = Xml::NodeBlocks::liveBlocks();
    std::vector<std::unique_ptr<XmlNode>> kept;
    {
        XmlNode document;
        XmlParser parser(input + "</r>", &document);
        ASSERT_EQ(document.children.size(), 1u);
        for (auto& item : document.children[0]->children)
            kept.push_back(std::move(item));
        kept.push_back(std::make_unique<XmlNode>("made alone"));
    }
    std::shuffle(kept.begin(), kept.end(), std::mt19937(5));
    std::vector<std::unique_ptr<XmlNode>> otherThread(std::make_move_iterator(kept.begin() + kept.size() / 2),
                                                      std::make_move_iterator(kept.end()));
    kept.resize(kept.size() / 2);
    size_t titles = 0;
    for (const auto& item : kept)
        titles += item && item->children.size() == 1 && item->children[0]->text.rfind("a long enough title", 0) == 0;
    EXPECT_GE(titles, kept.size() - 1);
    std::thread releaser([&otherThread] { otherThread.clear(); });
    kept.clear();
    releaser.join();
    EXPECT_TRUE(otherThread.empty());
    EXPECT_EQ(Xml::NodeBlocks::liveBlocks(), blocksBefore);
}

TEST(XmlNode, BlocksAreFreedWithTheirLastNode)
{
    const size_t before = Xml::NodeBlocks::liveBlocks();
    std::string input = "<r>";
    for (int i = 0; i < 2000; ++i)
        input += "<a/>";
    {
        XmlNode document;
        XmlParser parser(input, &document);
        EXPECT_GT(Xml::NodeBlocks::liveBlocks(), before);
    }
    EXPECT_EQ(Xml::NodeBlocks::liveBlocks(), before);
    {
        XmlNode document;
        EXPECT_THROW(XmlParser(input + "</x>", &document), RSS::XMLException);
        EXPECT_EQ(document.children.at(0)->children.size(), 2000u);
    }
    EXPECT_EQ(Xml::NodeBlocks::liveBlocks(), before);
    {
        XmlNode document;
        XmlParser parser("", &document); // no node, no block
        EXPECT_EQ(Xml::NodeBlocks::liveBlocks(), before);
    }
}

TEST(XmlNode, ConstructedEmptyOrNamed)
{
    const XmlNode empty;
    EXPECT_TRUE(empty.name.empty() && empty.text.empty() && empty.children.empty() && empty.attributes.empty());
    const XmlNode named("item");
    EXPECT_EQ(named.name, "item");
    EXPECT_TRUE(named.text.empty() && named.children.empty() && named.attributes.empty());
}

} // namespace
