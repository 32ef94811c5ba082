#include "net/HttpClient.h"

#include <winsock2.h>

#include <algorithm>
#include <vector>

#include "base/RSSException.h"
#include "net/Connect.h"
#include "net/Exchange.h"
#include "net/HttpMessage.h"
#include "net/NameLookup.h"
#include "net/Socket.h"
#include "net/SocketIo.h"
#include "net/TlsStream.h"
#include "net/UrlReference.h"
#include "net/WinsockSession.h"

namespace {

constexpr int kMostRedirects = 5;

// The host as it goes into the Host line and the name lookup: printable
// ASCII only, or it could end the line or name another host.
std::string hostText(const Url& url)
{
    const std::string host = HttpMessage::wireText(url.host);
    for (unsigned char c : host)
        if (c <= 0x20 || c >= 0x7f)
            throw RSS::RSSException(L"Address has characters that cannot be sent");
    return host;
}

// The end of a connect: the per-call limit, never past the whole fetch's
// deadline. (A lookup has the deadline alone: the system's own gives up
// within seconds, and a thread starting late under load must not fail it.)
uint64_t connectEnd(const FetchLimits& limits, uint64_t deadline)
{
    return std::min(GetTickCount64() + limits.ioTimeoutMs, deadline);
}

// A wait cut short by the whole fetch's deadline says so, whichever wait it
// was; one cut by its own limit keeps its own text.
template <class Wait>
auto withinDeadline(uint64_t deadline, Wait wait)
{
    try {
        return wait();
    } catch (const RSS::NetException& failure) {
        if (failure.errorCode == WSAETIMEDOUT && GetTickCount64() >= deadline)
            throw RSS::NetException(L"Download took too long", WSAETIMEDOUT);
        throw;
    }
}

// One hop: WinSock is started and the socket opened for this exchange only;
// both are released on every path, the socket first. Every wait of the hop,
// from the name lookup to the last byte, ends by the fetch's deadline.
HttpResponse exchange(const Url& url, const HttpValidators& known, const FetchControl& control,
                      const FetchLimits& limits, uint64_t deadline)
{
    const std::string host = hostText(url);
    const std::string authority = url.hasDefaultPort() ? host : host + ":" + std::to_string(url.port);
    const std::string request =
        HttpMessage::conditional(HttpMessage::request(authority, HttpMessage::requestTarget(url.path)), known);
    WinsockSession session;
    Socket socket;
    const in_addr address =
        withinDeadline(deadline, [&] { return lookUpHost(host, deadline, control); });
    withinDeadline(deadline, [&] { connectTo(socket, address, url.port, connectEnd(limits, deadline), control); });
    SocketIo plain(socket.handle(), control);
    if (url.scheme == Url::Scheme::Http) {
        Exchange exchange(plain, limits, deadline);
        exchange.sendAll(request);
        return exchange.receiveAnswer();
    }
    TlsStream tls(plain, url.host);
    Exchange exchange(tls, limits, deadline);
    exchange.run([&tls](uint64_t until) { return tls.handshake(until); }, L"Secure connection failed");
    exchange.sendAll(request);
    return exchange.receiveAnswer();
}

// Where a redirect answer sends the fetch next; throws when it may not be followed.
Url redirectTarget(const Url& current, const std::string& head, int hop, std::vector<std::wstring>& visited)
{
    const auto location = HttpMessage::location(head);
    if (!location)
        throw RSS::RSSException(L"Redirect without a location");
    if (hop >= kMostRedirects)
        throw RSS::RSSException(L"Too many redirects");
    const std::wstring target = resolveReference(current.text(), HttpMessage::locationAddress(*location));
    if (target.rfind(L"http://", 0) != 0 && target.rfind(L"https://", 0) != 0)
        throw RSS::RSSException(L"Redirect to an address that is not supported");
    Url next = Url::parse(target.c_str());
    if (std::find(visited.begin(), visited.end(), next.text()) != visited.end())
        throw RSS::RSSException(L"Redirect loop");
    visited.push_back(next.text());
    return next;
}

} // namespace

namespace HttpClient {

std::string fetch(Url url, const FetchControl& control)
{
    return fetch(std::move(url), HttpValidators{}, control).body;
}

HttpAnswer fetch(Url url, const HttpValidators& known, const FetchControl& control)
{
    const FetchLimits limits = control.limits();
    const HttpValidators none;
    const uint64_t deadline = GetTickCount64() + limits.deadlineMs;
    std::vector<std::wstring> visited{url.text()};
    std::wstring movedTo;
    bool allPermanent = true; // every hop so far moved the feed for good
    for (int hop = 0;; ++hop) {
        control.throwIfCancelled();
        // Validators go back only to the server that gave them (one that
        // does not say which belongs to the address asked).
        const bool theirs = known.origin.empty() ? hop == 0 : known.origin == url.origin();
        const HttpValidators& sent = theirs ? known : none;
        HttpResponse response = exchange(url, sent, control, limits, deadline);
        const std::string status = HttpMessage::statusCode(response.head);
        if (!HttpMessage::isRedirect(status)) {
            HttpAnswer answer = HttpMessage::answer(std::move(response), !sent.empty());
            answer.validators.origin = url.origin();
            answer.finalAddress = url.text();
            answer.movedTo = std::move(movedTo);
            return answer;
        }
        url = redirectTarget(url, response.head, hop, visited);
        allPermanent = allPermanent && (status == "301" || status == "308");
        if (allPermanent)
            movedTo = url.text();
    }
}

} // namespace HttpClient
