#pragma once
// Resolution of a URI reference against the address it was found at: a
// redirect's Location, a feed's relative link.
#include <cstddef>
#include <string>

// Real links are a few hundred characters and servers refuse request lines
// beyond 8 to 64 KiB; a longer link is broken or hostile, and is dropped by
// the callers rather than resolved and carried through every refresh.
constexpr size_t kMaxLinkLength = 64 * 1024;

// Resolves a URI reference against an absolute base address as RFC 3986
// section 5.2 does: an absolute reference comes back as it is (scheme
// lower-cased); network-path, absolute-path, relative-path, query-only and
// fragment-only references take what they lack from the base, dot segments
// removed. A base without a scheme gives the reference unchanged. An empty
// reference gives the base without its fragment. Linear in the lengths of
// both, so even a link far over kMaxLinkLength costs little.
std::wstring resolveReference(const std::wstring& base, const std::wstring& reference);

// RFC 3986 section 5.2.4: "." and ".." segments of a path taken out.
std::wstring removeDotSegments(const std::wstring& path);
