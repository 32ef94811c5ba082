#pragma once
// The wait a busy server asks for in its Retry-After header.
#include <cstdint>
#include <string>

// The time value before which the server is not to be asked again: `now` plus
// the seconds given, or the HTTP date given, at most a day from now. 0 when
// there is no wait: no value, one that cannot be read, or a time already past.
int64_t quietUntil(const std::string& retryAfter, int64_t now);
