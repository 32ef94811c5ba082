#include "rss/WebPage.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "net/UrlReference.h"
#include "rss/CharacterReferences.h"
#include "rss/TextDecoding.h"

namespace {

// How far into a body its kind is looked for: a BOM, blanks, an XML
// declaration, a comment or two and the DOCTYPE fit with room to spare.
constexpr size_t kSniffBytes = 1024;

const char* const kFeedTypes[] = {"application/rss+xml", "application/atom+xml", "application/rdf+xml",
                                  "application/xml", "text/xml"};
// Types that say nothing of what the body is.
const char* const kGenericTypes[] = {"", "text/plain", "application/octet-stream", "binary/octet-stream",
                                     "application/unknown"};
// Elements whose content is not markup: a "<link" inside is no link.
const char* const kOpaqueElements[] = {"script", "style", "template", "textarea", "title"};

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool startsWithNoCase(std::string_view text, size_t at, std::string_view prefix)
{
    if (text.size() - std::min(at, text.size()) < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (lower(text[at + i]) != prefix[i])
            return false;
    return true;
}

template <size_t N>
bool oneOf(const std::string& value, const char* const (&list)[N])
{
    for (const char* item : list)
        if (value == item)
            return true;
    return false;
}

// Past a BOM, blanks, and any declarations, processing instructions and
// comments: where the first element starts (or the end).
size_t firstElement(std::string_view head)
{
    size_t at = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (;;) {
        while (at < head.size() && isSpace(head[at]))
            ++at;
        if (startsWithNoCase(head, at, "<!--")) {
            const size_t end = head.find("-->", at + 4);
            at = end == std::string_view::npos ? head.size() : end + 3;
        } else if (startsWithNoCase(head, at, "<?") ||
                   (startsWithNoCase(head, at, "<!") && !startsWithNoCase(head, at, "<!doctype html"))) {
            const size_t end = head.find('>', at);
            at = end == std::string_view::npos ? head.size() : end + 1;
        } else {
            return at;
        }
    }
}

bool beginsAsFeed(std::string_view head)
{
    const size_t at = firstElement(head);
    return head.compare(at, 4, "<rss") == 0 || head.compare(at, 5, "<feed") == 0 ||
           head.compare(at, 8, "<rdf:RDF") == 0;
}

bool beginsAsPage(std::string_view head)
{
    const size_t at = firstElement(head);
    return startsWithNoCase(head, at, "<!doctype html") || startsWithNoCase(head, at, "<html");
}

// One start tag's name and attributes, as the tokenizer read them.
struct Tag {
    std::string name; // lower case; empty for an end tag's or a skipped construct
    bool end = false;
    std::vector<std::pair<std::string, std::string>> attributes; // names lower case

    const std::string* attribute(const char* wanted) const
    {
        for (const auto& [name, value] : attributes)
            if (name == wanted)
                return &value;
        return nullptr; // the first of a repeated attribute counts, as in browsers
    }
};

class PageScanner {
public:
    explicit PageScanner(std::string_view page) : page_(page) {}
    // The next tag, or false at the end of the page.
    bool next(Tag& tag);
    // Skips an opaque element's content up to its end tag.
    void skipContent(const std::string& name);

private:
    std::string readName();
    std::string readValue();

    std::string_view page_;
    size_t at_ = 0;
};

bool PageScanner::next(Tag& tag)
{
    for (;;) {
        const size_t open = page_.find('<', at_);
        if (open == std::string_view::npos)
            return false;
        at_ = open + 1;
        if (startsWithNoCase(page_, open, "<!--")) {
            const size_t end = page_.find("-->", open + 4);
            at_ = end == std::string_view::npos ? page_.size() : end + 3;
            continue;
        }
        tag = Tag();
        tag.end = at_ < page_.size() && page_[at_] == '/';
        at_ += tag.end ? 1 : 0;
        if (at_ >= page_.size() || !std::isalpha(static_cast<unsigned char>(page_[at_]))) {
            const size_t end = page_.find('>', at_); // <!DOCTYPE>, <?...>, a stray "<"
            at_ = end == std::string_view::npos ? page_.size() : end + 1;
            continue;
        }
        tag.name = readName();
        for (;;) {
            while (at_ < page_.size() && (isSpace(page_[at_]) || page_[at_] == '/'))
                ++at_;
            if (at_ >= page_.size() || page_[at_] == '>') {
                ++at_;
                return true;
            }
            std::string name = readName();
            while (at_ < page_.size() && isSpace(page_[at_]))
                ++at_;
            std::string value;
            if (at_ < page_.size() && page_[at_] == '=') {
                ++at_;
                value = readValue();
            }
            tag.attributes.emplace_back(std::move(name), std::move(value));
        }
    }
}

// A tag or attribute name: up to a blank, "/", ">" (or "=" for an attribute).
std::string PageScanner::readName()
{
    std::string name(1, lower(page_[at_++]));
    while (at_ < page_.size() && !isSpace(page_[at_]) && page_[at_] != '/' && page_[at_] != '>' && page_[at_] != '=')
        name += lower(page_[at_++]);
    return name;
}

std::string PageScanner::readValue()
{
    while (at_ < page_.size() && isSpace(page_[at_]))
        ++at_;
    if (at_ < page_.size() && (page_[at_] == '"' || page_[at_] == '\'')) {
        const char quote = page_[at_++];
        const size_t end = std::min(page_.find(quote, at_), page_.size());
        std::string value(page_.substr(at_, end - at_));
        at_ = end + 1;
        return value;
    }
    const size_t start = at_;
    while (at_ < page_.size() && !isSpace(page_[at_]) && page_[at_] != '>')
        ++at_;
    return std::string(page_.substr(start, at_ - start));
}

void PageScanner::skipContent(const std::string& name)
{
    const std::string endTag = "</" + name;
    for (size_t at = at_; at < page_.size(); ++at)
        if (page_[at] == '<' && startsWithNoCase(page_, at, endTag)) {
            at_ = at;
            return;
        }
    at_ = page_.size();
}

std::wstring attributeText(const std::string& value)
{
    return decodeReferences(decodeText(value, "utf-8"));
}

bool hasToken(const std::string& list, const char* wanted)
{
    size_t at = 0;
    while (at < list.size()) {
        while (at < list.size() && isSpace(list[at]))
            ++at;
        size_t end = at;
        std::string token;
        while (end < list.size() && !isSpace(list[end]))
            token += lower(list[end++]);
        if (token == wanted)
            return true;
        at = end;
    }
    return false;
}

bool isFeedLink(const Tag& tag)
{
    const std::string* rel = tag.attribute("rel");
    const std::string* type = tag.attribute("type");
    const std::string* href = tag.attribute("href");
    if (rel == nullptr || type == nullptr || href == nullptr || !hasToken(*rel, "alternate") ||
        hasToken(*rel, "stylesheet"))
        return false;
    std::string media;
    for (char c : type->substr(0, type->find(';')))
        if (!isSpace(c))
            media += lower(c);
    return oneOf(media, kFeedTypes);
}

// A link's address: blanks around it dropped, resolved; empty when blank or too long.
std::wstring resolvedHref(const std::string& href, const std::wstring& base)
{
    std::wstring text = attributeText(href);
    const size_t first = text.find_first_not_of(L" \t\n\r\f");
    if (first == std::wstring::npos)
        return std::wstring();
    text = text.substr(first, text.find_last_not_of(L" \t\n\r\f") - first + 1);
    return text.size() > kMaxLinkLength ? std::wstring() : resolveReference(base, text);
}

} // namespace

bool isWebPage(const std::string& mediaType, const std::string& body)
{
    const std::string_view head(body.data(), std::min(body.size(), kSniffBytes));
    if (mediaType == "text/html" || mediaType == "application/xhtml+xml")
        return !beginsAsFeed(head);
    return oneOf(mediaType, kGenericTypes) && beginsAsPage(head);
}

std::wstring firstFeedLink(const std::string& page, const std::wstring& pageAddress)
{
    PageScanner scanner(page);
    std::wstring base = pageAddress;
    bool baseSet = false;
    bool headSeen = false;
    Tag tag;
    while (scanner.next(tag)) {
        if (tag.end) {
            if (tag.name == "head")
                break;
            continue;
        }
        if (tag.name == "head")
            headSeen = true;
        else if (tag.name == "body" && headSeen)
            break;
        else if (oneOf(tag.name, kOpaqueElements))
            scanner.skipContent(tag.name);
        else if (tag.name == "base" && !baseSet && tag.attribute("href") != nullptr) {
            const std::wstring resolved = resolvedHref(*tag.attribute("href"), pageAddress);
            baseSet = !resolved.empty();
            base = baseSet ? resolved : base;
        } else if (tag.name == "link" && isFeedLink(tag)) {
            const std::wstring link = resolvedHref(*tag.attribute("href"), base);
            if (!link.empty())
                return link;
        }
    }
    return std::wstring();
}
