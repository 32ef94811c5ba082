#include "net/UrlReference.h"

#include <cwctype>

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

// Drops the last segment of the output and the "/" before it. Each character
// is dropped at most once, so the whole resolution stays linear.
void popSegment(std::wstring& output)
{
    const size_t slash = output.rfind(L'/');
    output.erase(slash == std::wstring::npos ? 0 : slash);
}

bool restStartsWith(const std::wstring& input, size_t at, const wchar_t* prefix)
{
    return input.compare(at, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

bool restIs(const std::wstring& input, size_t at, const wchar_t* rest)
{
    return input.compare(at, std::wstring::npos, rest) == 0;
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
    std::wstring text = ref.scheme + L":";
    if (ref.hasAuthority)
        text += L"//" + ref.authority;
    text += ref.path;
    if (ref.hasQuery)
        text += L"?" + ref.query;
    if (ref.hasFragment)
        text += L"#" + ref.fragment;
    return text;
}

// Section 5.2.2, with the base's scheme and authority taken over where the
// reference has none.
Reference transform(const Reference& base, const Reference& ref)
{
    if (ref.hasScheme) {
        Reference target = ref;
        target.path = removeDotSegments(ref.path);
        return target;
    }
    Reference target = ref;
    target.scheme = base.scheme;
    target.hasScheme = true;
    if (ref.hasAuthority) {
        target.path = removeDotSegments(ref.path);
        return target;
    }
    target.authority = base.authority;
    target.hasAuthority = base.hasAuthority;
    if (ref.path.empty()) {
        target.path = base.path;
        if (!ref.hasQuery) {
            target.query = base.query;
            target.hasQuery = base.hasQuery;
        }
    } else if (ref.path[0] == L'/') {
        target.path = removeDotSegments(ref.path);
    } else {
        target.path = removeDotSegments(mergePaths(base, ref.path));
    }
    return target;
}

} // namespace

// RFC 3986 section 5.2.4 over a cursor into the input and an output buffer:
// the standard's "replace the prefix with /" steps move the cursor onto the
// "/" that is already there, so no step copies the rest of the input.
std::wstring removeDotSegments(const std::wstring& input)
{
    std::wstring output;
    output.reserve(input.size());
    size_t at = 0;
    while (at < input.size()) {
        if (restStartsWith(input, at, L"../")) {
            at += 3;
        } else if (restStartsWith(input, at, L"./") || restStartsWith(input, at, L"/./")) {
            at += 2;
        } else if (restIs(input, at, L"/.")) {
            output += L'/';
            break;
        } else if (restStartsWith(input, at, L"/../")) {
            at += 3;
            popSegment(output);
        } else if (restIs(input, at, L"/..")) {
            popSegment(output);
            output += L'/';
            break;
        } else if (restIs(input, at, L".") || restIs(input, at, L"..")) {
            break;
        } else {
            const size_t next = input.find(L'/', at + 1);
            const size_t end = next == std::wstring::npos ? input.size() : next;
            output.append(input, at, end - at);
            at = end;
        }
    }
    return output;
}

std::wstring resolveReference(const std::wstring& base, const std::wstring& reference)
{
    const Reference baseParts = split(base);
    const Reference ref = split(reference);
    if (!baseParts.hasScheme)
        return ref.hasScheme ? join(transform(baseParts, ref)) : reference;
    return join(transform(baseParts, ref));
}
