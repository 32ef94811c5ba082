#include "net/Exchange.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "base/RSSException.h"
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

std::string Exchange::receiveAll()
{
    std::string response;
    char buffer[kBufferSize];
    size_t received = 0;
    bool sized = false;
    for (;;) {
        const DWORD got = transferred(stream_.receive(buffer, kBufferSize - 1, callEnd()), L"Receive failed");
        if (got == 0)
            return response;
        received += got;
        if (received > limits_.maxResponseBytes)
            throw RSS::RSSException(L"Response too large");
        buffer[got] = '\0';
        const size_t before = response.size();
        response.append(buffer, strlen(buffer));
        if (!sized)
            sized = reserveAnnounced(response, before);
    }
}

// Once the header is complete, makes room at once for the whole response
// its Content-Length announces, within the cap, rather than growing by
// doubling; true when there is nothing more to look for.
bool Exchange::reserveAnnounced(std::string& response, size_t searchedUpTo) const
{
    const size_t headerEnd = response.find("\r\n\r\n", searchedUpTo < 3 ? 0 : searchedUpTo - 3);
    if (headerEnd == std::string::npos)
        return false;
    if (const auto length = HttpMessage::contentLength(response, headerEnd))
        response.reserve(
            std::min(headerEnd + 4 + std::min(*length, limits_.maxResponseBytes), limits_.maxResponseBytes));
    return true;
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
