#pragma once
// An HTTP/1.0 GET over plain TCP or TLS, redirects followed (at most five
// hops, to http or https); returns the body as 8-bit text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/FetchControl.h"
#include "net/HttpAnswer.h"
#include "net/Url.h"

namespace HttpClient {
// Within the control's limits; ends early, "Download cancelled", once it is cancelled.
std::string fetch(Url url, const FetchControl& control);
// With the validators of an earlier answer, a conditional request (exactly the
// plain one when there are none); see HttpMessage::answer.
HttpAnswer fetch(Url url, const HttpValidators& known, const FetchControl& control);
} // namespace HttpClient
