#pragma once
// Decoding the references that XML text may hold, once the text is wide.
#include <string>

// Replaces &amp; &lt; &gt; &quot; &apos; and the character references &#N;
// and &#xH; to characters that XML allows (a non-BMP one as a surrogate
// pair); any other '&', such as &nbsp;, a lone '&' or a malformed or
// out-of-range reference, stays as written.
std::wstring decodeReferences(std::wstring text);
