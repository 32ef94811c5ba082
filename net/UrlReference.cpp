#include "net/UrlReference.h"

#include <cwctype>
#include <utility>

namespace {

// The five components of RFC 3986 section 3; "has" tells an empty component
// from an absent one, which resolution treats differently.
struct Reference {
    std::wstring scheme, authority, path, query, fragment;
    bool hasScheme = false, hasAuthority = false, hasQuery = false, hasFragment = false;
};

bool isSchemeChar(wchar_t c, bool first)
{
    const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    return letter || (!first && ((c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.'));
}

// Length of a leading "scheme:", or 0 when the text has none.
size_t schemeLength(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && isSchemeChar(text[i], i == 0))
        ++i;
    return i > 0 && i < text.size() && text[i] == L':' ? i : 0;
}

Reference split(const std::wstring& text)
{
    Reference ref;
    size_t at = 0;
    if (const size_t length = schemeLength(text)) {
        ref.hasScheme = true;
        for (size_t i = 0; i < length; ++i)
            ref.scheme += static_cast<wchar_t>(std::towlower(text[i]));
        at = length + 1;
    }
    const size_t hash = text.find(L'#', at);
    const size_t end = hash == std::wstring::npos ? text.size() : hash;
    if (hash != std::wstring::npos) {
        ref.hasFragment = true;
        ref.fragment = text.substr(hash + 1);
    }
    const size_t question = text.find(L'?', at);
    const size_t pathEnd = question < end ? question : end;
    if (question < end) {
        ref.hasQuery = true;
        ref.query = text.substr(question + 1, end - question - 1);
    }
    if (text.compare(at, 2, L"//") == 0 && at + 2 <= pathEnd) {
        ref.hasAuthority = true;
        const size_t slash = text.find(L'/', at + 2);
        const size_t authorityEnd = slash < pathEnd ? slash : pathEnd;
        ref.authority = text.substr(at + 2, authorityEnd - at - 2);
        at = authorityEnd;
    }
    ref.path = text.substr(at, pathEnd - at);
    return ref;
}

// RFC 3986 section 5.2.4, in place: a cursor reads the input and the output
// is written over what was read. Every step consumes at least as much as it
// writes, so the writing never overtakes the reading, and the standard's
// "replace the prefix with /" steps just move the cursor onto the "/" already
// there. No step copies the rest of the path: the whole is linear.
void removeDotSegmentsInPlace(std::wstring& path)
{
    const size_t size = path.size();
    auto at_ = [&](size_t i) { return i < size ? path[i] : L'\0'; };
    size_t written = 0;
    // Drops the last output segment and the "/" before it.
    auto popSegment = [&] {
        const size_t slash = written == 0 ? std::wstring::npos : path.rfind(L'/', written - 1);
        written = slash == std::wstring::npos ? 0 : slash;
    };
    size_t at = 0;
    while (at < size) {
        const wchar_t c = path[at];
        const wchar_t next = at_(at + 1);
        if (c == L'.' && next == L'.' && at_(at + 2) == L'/') { // "../"
            at += 3;
        } else if (c == L'.' && next == L'/') { // "./"
            at += 2;
        } else if (c == L'.' && (at + 1 == size || (next == L'.' && at + 2 == size))) { // "." or ".." at the end
            break;
        } else if (c == L'/' && next == L'.' && (at + 2 == size || at_(at + 2) == L'/')) { // "/." or "/./"
            at += 2;
            if (at == size)
                path[written++] = L'/';
        } else if (c == L'/' && next == L'.' && at_(at + 2) == L'.' && (at + 3 == size || at_(at + 3) == L'/')) {
            popSegment(); // "/.." or "/../"
            at += 3;
            if (at == size)
                path[written++] = L'/';
        } else {
            const size_t slash = path.find(L'/', at + 1);
            const size_t end = slash == std::wstring::npos ? size : slash;
            std::char_traits<wchar_t>::move(&path[written], &path[at], end - at);
            written += end - at;
            at = end;
        }
    }
    path.resize(written);
}

// Section 5.2.3: a relative path is appended to the base path's directory.
std::wstring mergePaths(const Reference& base, const std::wstring& path)
{
    if (base.hasAuthority && base.path.empty())
        return L"/" + path;
    const size_t slash = base.path.rfind(L'/');
    return slash == std::wstring::npos ? path : base.path.substr(0, slash + 1) + path;
}

std::wstring join(const Reference& ref)
{
    std::wstring text;
    text.reserve(ref.scheme.size() + ref.authority.size() + ref.path.size() + ref.query.size() +
                 ref.fragment.size() + 5);
    text.append(ref.scheme).append(1, L':');
    if (ref.hasAuthority)
        text.append(L"//").append(ref.authority);
    text.append(ref.path);
    if (ref.hasQuery)
        text.append(1, L'?').append(ref.query);
    if (ref.hasFragment)
        text.append(1, L'#').append(ref.fragment);
    return text;
}

// Section 5.2.2, with the base's scheme and authority taken over where the
// reference has none. The reference is taken apart in place: a long one is
// never copied whole.
Reference transform(const Reference& base, Reference ref)
{
    if (!ref.hasScheme) {
        ref.scheme = base.scheme;
        ref.hasScheme = true;
        if (!ref.hasAuthority) {
            ref.authority = base.authority;
            ref.hasAuthority = base.hasAuthority;
            if (ref.path.empty()) {
                ref.path = base.path;
                if (!ref.hasQuery) {
                    ref.query = base.query;
                    ref.hasQuery = base.hasQuery;
                }
                return ref;
            }
            if (ref.path[0] != L'/')
                ref.path = mergePaths(base, ref.path);
        }
    }
    removeDotSegmentsInPlace(ref.path);
    return ref;
}

} // namespace

std::wstring removeDotSegments(const std::wstring& path)
{
    std::wstring result = path;
    removeDotSegmentsInPlace(result);
    return result;
}

std::wstring resolveReference(const std::wstring& base, const std::wstring& reference)
{
    const Reference baseParts = split(base);
    Reference ref = split(reference);
    if (!baseParts.hasScheme && !ref.hasScheme)
        return reference;
    return join(transform(baseParts, std::move(ref)));
}
