#pragma once
// What is in scope at an element while a feed's tree is walked: the
// namespace declarations (names are matched by namespace, never by the
// prefix a feed happens to use), the base address of relative links
// (xml:base over the feed's own address) and the document's encoding.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xml/XmlNode.h"

struct ExpandedName {
    std::string_view uri; // empty: no namespace, or an undeclared prefix
    std::string_view local;
};

class DocumentScope {
public:
    // `size`: the document's length, where what the reading rejects is reported.
    DocumentScope(std::wstring address, std::string encoding, size_t size = 0);

    // Ends what `enter` put in scope.
    class Guard {
    public:
        Guard(DocumentScope& scope, size_t bindings, size_t bases) : scope_(scope), bindings_(bindings), bases_(bases)
        {
        }
        ~Guard() { scope_.leave(bindings_, bases_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        DocumentScope& scope_;
        size_t bindings_;
        size_t bases_;
    };

    // The element's declarations and xml:base apply until the guard ends;
    // the element must outlive the guard.
    Guard enter(const XmlNode& element);

    // The element's name as the declarations in scope resolve it.
    ExpandedName name(const XmlNode& element) const;

    // The address relative links are resolved against.
    const std::wstring& base() const { return bases_.back(); }
    const std::string& encoding() const { return encoding_; }
    size_t documentSize() const { return size_; }

private:
    void bind(std::string_view prefix, std::string_view uri);
    void leave(size_t bindings, size_t bases);

    std::string encoding_;
    size_t size_;
    // Each prefix with its URIs, innermost last, and the prefixes in the order
    // bound, so leaving unbinds them: a lookup stays one probe however many
    // declarations a hostile feed makes. The views point into elements in scope.
    std::unordered_map<std::string_view, std::vector<std::string_view>> uris_;
    std::vector<std::string_view> bindings_;
    std::vector<std::wstring> bases_;
};
