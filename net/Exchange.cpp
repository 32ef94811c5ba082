#include "net/Exchange.h"

#include <windows.h>

#include <algorithm>

#include "base/RSSException.h"
#include "net/HttpBody.h"
#include "net/HttpMessage.h"

namespace {

constexpr DWORD kBufferSize = 4096;
constexpr size_t kLargestSend = 1 << 20;

[[noreturn]] void fail(const wchar_t* message, int code)
{
    throw RSS::NetException(message, code);
}

} // namespace

Exchange::Exchange(Stream& stream, const FetchLimits& limits, uint64_t deadline)
    : stream_(stream), limits_(limits), deadline_(deadline)
{
}

void Exchange::sendAll(const std::string& request)
{
    for (size_t done = 0; done < request.size();) {
        const DWORD piece = static_cast<DWORD>(std::min(request.size() - done, kLargestSend));
        const DWORD sent = transferred(stream_.send(request.data() + done, piece, callEnd()), L"Send failed");
        if (sent == 0)
            fail(L"Send failed", WSAGetLastError());
        done += sent;
    }
}

HttpResponse Exchange::receiveAnswer()
{
    HttpResponse response;
    std::string rest; // what came after the head
    readHead(response, rest);
    if (HttpMessage::statusCode(response.head) == "200" && response.head.find("\r\n\r\n") != std::string::npos)
        readBody(response.head, std::move(rest), response.body);
    return response; // other answers need no body: the connection closes with us
}

std::string Exchange::receiveHead()
{
    HttpResponse response;
    std::string rest;
    readHead(response, rest);
    // Bytes after a 2xx head would be read as the server's TLS: no proxy sends them.
    if (!rest.empty() && HttpMessage::statusCode(response.head).substr(0, 1) == "2")
        throw RSS::RSSException(L"No HTTP data found");
    return response.head;
}

size_t Exchange::receivePiece(char* buffer, size_t size)
{
    const DWORD got = transferred(stream_.receive(buffer, static_cast<DWORD>(size), callEnd()), L"Receive failed");
    received_ += got;
    if (received_ > limits_.maxResponseBytes)
        throw RSS::RSSException(L"Response too large");
    return got;
}

// Up to the head's empty line; interim 1xx answers (100 Continue, 103 Early
// Hints) come before the real one and are skipped.
void Exchange::readHead(HttpResponse& response, std::string& rest)
{
    std::string pending;
    char buffer[kBufferSize];
    size_t searchedUpTo = 0;
    for (;;) {
        const size_t headEnd = pending.find("\r\n\r\n", searchedUpTo < 3 ? 0 : searchedUpTo - 3);
        if (headEnd != std::string::npos) {
            const std::string status = HttpMessage::statusCode(pending);
            if (status.size() == 3 && status[0] == '1' && status != "101") {
                pending.erase(0, headEnd + 4);
                searchedUpTo = 0;
                continue;
            }
            rest = pending.substr(headEnd + 4);
            pending.resize(headEnd + 4);
            response.head = std::move(pending);
            return;
        }
        searchedUpTo = pending.size();
        const size_t got = receivePiece(buffer, kBufferSize - 1);
        if (got == 0) { // closed before the head's end: the head's checks say what is wrong
            response.head = std::move(pending);
            return;
        }
        pending.append(buffer, got);
    }
}

void Exchange::readBody(const std::string& head, std::string rest, std::string& body)
{
    HttpBody reader(head, limits_.maxResponseBytes, body);
    if (reader.take(rest.data(), rest.size()))
        return reader.finish(true);
    rest.clear();
    rest.shrink_to_fit();
    char buffer[kBufferSize];
    for (;;) {
        const size_t got = receivePiece(buffer, kBufferSize - 1);
        if (got == 0)
            return reader.finish(stream_.closedCleanly());
        if (reader.take(buffer, got))
            return reader.finish(true);
    }
}

uint64_t Exchange::callEnd() const
{
    return std::min(GetTickCount64() + limits_.ioTimeoutMs, deadline_);
}

// The byte count of a finished call; every other ending becomes its exception.
DWORD Exchange::transferred(const StreamResult& result, const wchar_t* failure) const
{
    switch (result.outcome) {
    case StreamResult::Outcome::Done:
        return result.bytes;
    case StreamResult::Outcome::Failed:
        fail(failure, result.error);
    case StreamResult::Outcome::Cancelled:
        FetchControl::failCancelled();
    case StreamResult::Outcome::TimedOut:
        break;
    }
    if (GetTickCount64() >= deadline_)
        fail(L"Download took too long", WSAETIMEDOUT);
    fail(failure, WSAETIMEDOUT);
}
