#pragma once
// What one fetch ended with, so tests can compare outcomes as plain values.
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "net/FetchControl.h"
#include "net/Url.h"

struct FetchOutcome {
    std::string kind; // "body", "NetException", "RSSException", "out_of_range"
    std::wstring message;
    int32_t errorCode = 0;
    std::string body;
};

// Under the product's limits unless a control is given.
FetchOutcome fetchOutcome(const std::wstring& address, const FetchControl& control = FetchControl());
FetchOutcome fetchOutcome(const Url& url, const FetchControl& control = FetchControl());
bool operator==(const FetchOutcome& a, const FetchOutcome& b);
void PrintTo(const FetchOutcome& outcome, std::ostream* out);

// Milliseconds the call took; only for generous "does not hang" bounds.
template <typename F>
uint64_t elapsedMs(F&& call)
{
    const uint64_t start = GetTickCount64();
    call();
    return GetTickCount64() - start;
}
