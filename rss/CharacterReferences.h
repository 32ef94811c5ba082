#pragma once
// Decoding the references that XML text may hold, once the text is wide.
#include <string>

// Replaces, in one pass, the named references of HTML (XML's five among
// them: &amp; &nbsp; &eacute; ...) and the character references &#N; and
// &#xH; to characters that XML allows (a non-BMP one as a surrogate pair);
// any other '&', such as an unknown name, a lone '&' or a malformed or
// out-of-range reference, stays as written.
std::wstring decodeReferences(std::wstring text);
