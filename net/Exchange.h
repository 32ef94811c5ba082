#pragma once
// Sends and receives of one connected exchange, plain or TLS, each within the
// time limits: one for every single call, one for the whole fetch.
#include <cstdint>
#include <string>

#include "net/HttpClient.h"
#include "net/Stream.h"

class Exchange {
public:
    // `deadline` (a GetTickCount64() value) is shared by every hop of a fetch.
    Exchange(Stream& stream, const FetchLimits& limits, uint64_t deadline);

    // A stream's own step (the TLS handshake) under the per-call limit.
    template <typename Step>
    void run(Step&& step, const wchar_t* failure)
    {
        transferred(step(callEnd()), failure);
    }

    // A partial send is continued until the whole request is out.
    void sendAll(const std::string& request);
    // Reads until the server closes; a NUL byte ends what its chunk contributes.
    std::string receiveAll();

private:
    bool reserveAnnounced(std::string& response, size_t searchedUpTo) const;
    uint64_t callEnd() const;
    DWORD transferred(const StreamResult& result, const wchar_t* failure) const;

    Stream& stream_;
    FetchLimits limits_;
    uint64_t deadline_;
};
