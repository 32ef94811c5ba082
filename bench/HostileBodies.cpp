#include "HostileBodies.h"

#include <algorithm>

#include "xml/XmlLimits.h"

namespace {

// `head`, then `unit` as often as fits in `bytes` with `foot` after it.
std::string filled(std::string head, const std::string& unit, const std::string& foot, size_t bytes)
{
    head.reserve(bytes);
    while (head.size() + unit.size() + foot.size() <= bytes)
        head += unit;
    return head + foot;
}

std::string distinctAttributes()
{
    const std::string names = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-";
    std::string element = "<a";
    for (size_t i = 0; i < Xml::kMaxAttributesPerElement && i < names.size(); ++i)
        element += std::string(" ") + names[i] + "=''";
    return element + "/>";
}

// Elements with short texts up to the node limit, the rest multi-line texts
// just within theirs (gathered piece by piece, then copied to their size).
std::string elementsThenTexts(size_t bytes)
{
    const std::string element = "<a>" + std::string(16, 'x') + "</a>";
    std::string body = filled("<r>", element, "", std::min(bytes / 4, (Xml::kMaxNodes - 64) * element.size()));
    const std::string text = filled("", std::string(79, 'x') + "\n", "", std::min(Xml::kMaxTextBytes, bytes / 8));
    return filled(body, "<t>" + text + "</t>", "</r>", bytes);
}

const std::vector<HostileShape> kShapes = {
    {"empty elements", [](size_t n) { return filled("<r>", "<a/>", "</r>", n); }},
    {"unclosed nesting", [](size_t n) { return filled("", "<a>", "", n); }},
    {"empty items", [](size_t n) { return filled("<rss><channel>", "<item/>", "</channel></rss>", n); }},
    {"attributes", [](size_t n) { return filled("<r>", distinctAttributes(), "</r>", n); }},
    {"one long text", [](size_t n) { return filled("<r>", std::string(79, 'x') + "\n", "</r>", n); }},
    {"CDATA '&'", // each section just within the text limit, '&' kept as five bytes
     [](size_t n) {
         return filled("<r>", "<b><![CDATA[" + std::string(std::min(Xml::kMaxTextBytes / 5, n / 4), '&') + "]]></b>",
                       "</r>", n);
     }},
    {"field of texts",
     [](size_t n) {
         return filled("<rss><channel><title>", "<b>" + std::string(n / 32, 'x') + "</b>", "</title></channel></rss>",
                       n);
     }},
    {"elements, texts", elementsThenTexts},
};

} // namespace

const std::vector<HostileShape>& hostileShapes()
{
    return kShapes;
}
