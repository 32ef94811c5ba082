// Node ownership: trees of any depth are released without deep recursion.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "xml/XmlNode.h"
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

TEST(XmlNode, MillionNestedStartTagsParseAndAreReleased)
{
    std::string input;
    input.reserve(3 * kHostileDepth);
    for (size_t i = 0; i < kHostileDepth; ++i)
        input += "<a>";
    auto document = std::make_unique<XmlNode>();
    XmlParser parser(input, document.get());
    EXPECT_EQ(chainDepth(*document, "a"), kHostileDepth);
    document.reset(); // must return, not overflow the stack
    SUCCEED();
}

TEST(XmlNode, DeepClosedDocumentParsesAndIsReleased)
{
    const size_t depth = 200000;
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

TEST(XmlNode, ConstructedEmptyOrNamed)
{
    const XmlNode empty;
    EXPECT_TRUE(empty.name.empty() && empty.text.empty() && empty.children.empty() && empty.attributes.empty());
    const XmlNode named("item");
    EXPECT_EQ(named.name, "item");
    EXPECT_TRUE(named.text.empty() && named.children.empty() && named.attributes.empty());
}

} // namespace
