#pragma once
// An HTTP/1.0 GET over plain TCP or TLS, redirects followed (at most five
// hops, to http or https); returns the body as 8-bit text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/HttpAnswer.h"
#include "net/Url.h"

struct FetchLimits {
    uint32_t ioTimeoutMs = 30000;        // each send and receive
    uint32_t deadlineMs = 120000;        // the whole fetch, every hop, from its first connect
    size_t maxResponseBytes = 32u << 20; // a feed is never this large
};

namespace HttpClient {
std::string fetch(Url url);
// With the validators of an earlier answer, a conditional request (exactly the
// plain one when there are none); see HttpMessage::answer.
HttpAnswer fetch(Url url, const HttpValidators& known);

// The product keeps the defaults; tests lower them to stay fast.
FetchLimits limits();
void setLimits(const FetchLimits& limits);

// Unload cuts fetches in flight short and refuses new ones until resumed.
void cancelAll();
void resumeAll();
} // namespace HttpClient
