#pragma once
// Resolution of a URI reference against the address it was found at: a
// redirect's Location, a feed's relative link.
#include <string>

// Resolves a URI reference against an absolute base address as RFC 3986
// section 5.2 does: an absolute reference comes back as it is (scheme
// lower-cased); network-path, absolute-path, relative-path, query-only and
// fragment-only references take what they lack from the base, dot segments
// removed. A base without a scheme gives the reference unchanged. An empty
// reference gives the base without its fragment.
std::wstring resolveReference(const std::wstring& base, const std::wstring& reference);
