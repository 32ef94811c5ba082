#pragma once
// Sends and receives of one connected exchange, plain or TLS, each within the
// time limits: one for every single call, one for the whole fetch.
#include <cstdint>
#include <string>

#include "net/HttpClient.h"
#include "net/HttpResponse.h"
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
    // The answer's head, interim 1xx answers skipped; for a 200 answer also its
    // body, framed by chunked coding, Content-Length or the end of the
    // connection, and decoded. RSS::TruncatedException when the server broke
    // off before the framing's end.
    HttpResponse receiveAnswer();
    // The head alone, of an answer that has no body when it succeeds (a
    // proxy's to CONNECT: the tunnel follows it).
    std::string receiveHead();

private:
    // The next piece from the server; 0 bytes: it closed.
    size_t receivePiece(char* buffer, size_t size);
    void readHead(HttpResponse& response, std::string& rest);
    void readBody(const std::string& head, std::string rest, std::string& body);
    uint64_t callEnd() const;
    DWORD transferred(const StreamResult& result, const wchar_t* failure) const;

    Stream& stream_;
    FetchLimits limits_;
    uint64_t deadline_;
    size_t received_ = 0; // bytes off the wire, against the response cap
};
