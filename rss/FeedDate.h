#pragma once
// Publication dates as feeds write them: RFC 822/1123 and its variants,
// RFC 850, asctime, ISO 8601 / RFC 3339 and JavaScript's Date.toString.
#include <cstdint>
#include <string>

// Seconds since 1970 UTC. A date without a zone is taken as local standard
// time; one without a clock, or W3C's bare year or year-month, as its first
// instant. 0 for a text that is not a date; -1 for a date outside 1970 to 3000.
int64_t parseFeedDate(const std::string& text);
