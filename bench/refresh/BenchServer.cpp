#include "BenchServer.h"

#include "Compressed.h"
#include "LoopbackListener.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr DWORD kReceiveLimitMs = 5000; // a client that never sends its request
const std::shared_ptr<const std::string> kNotFound =
    std::make_shared<const std::string>("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");

std::string pathOf(const std::string& request)
{
    const size_t start = request.find(' ');
    if (start == std::string::npos)
        return std::string();
    const size_t end = request.find(' ', start + 1);
    return request.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Whether the request's Accept-Encoding names gzip without refusing it (q=0),
// as curl's "deflate, gzip, br, zstd" and our client's "gzip, deflate" do.
bool acceptsGzip(const std::string& request)
{
    const std::string head = lowered(request);
    const size_t name = head.find("\r\naccept-encoding:");
    if (name == std::string::npos)
        return false;
    const size_t start = name + sizeof "\r\naccept-encoding:" - 1;
    const std::string value = head.substr(start, head.find("\r\n", start) - start);
    for (size_t at = 0; at <= value.size();) {
        const size_t comma = std::min(value.find(',', at), value.size());
        const std::string item = value.substr(at, comma - at);
        const size_t semicolon = item.find(';');
        if (trimmed(item.substr(0, semicolon)) == "gzip") {
            const size_t q = semicolon == std::string::npos ? std::string::npos : item.find("q=", semicolon);
            return q == std::string::npos || strtod(item.c_str() + q + 2, nullptr) > 0;
        }
        at = comma + 1;
    }
    return false;
}

std::string header(size_t bodyBytes, bool gzip)
{
    return std::string("HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n") +
           (gzip ? "Content-Encoding: gzip\r\nVary: Accept-Encoding\r\n" : "") +
           "Content-Length: " + std::to_string(bodyBytes) + "\r\n\r\n";
}

} // namespace

BenchServer::BenchServer(std::string address, bool offerGzip) : address_(std::move(address)), offerGzip_(offerGzip)
{
    listener_ = listenOnPort80(address_);
    thread_ = std::thread([this] { run(); });
}

BenchServer::~BenchServer()
{
    stopping_ = true;
    thread_.join();
    closesocket(listener_);
    WSACleanup();
}

void BenchServer::serve(const std::string& path, std::string body)
{
    Responses responses;
    if (offerGzip_) {
        std::string compressed = ::compressed(body, Wrapping::Gzip); // as a server's gzip filter sends it
        gzipBodyBytes_ += compressed.size();
        compressed.insert(0, header(compressed.size(), true));
        responses.gzip = std::make_shared<const std::string>(std::move(compressed));
    }
    body.insert(0, header(body.size(), false));
    responses.plain = std::make_shared<const std::string>(std::move(body));
    std::lock_guard<std::mutex> hold(mutex_);
    responses_[path] = std::move(responses);
}

void BenchServer::run()
{
    while (!stopping_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval slice{0, 50000};
        if (select(0, &ready, nullptr, nullptr, &slice) <= 0)
            continue;
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        answer(client);
        closesocket(client);
    }
}

bool BenchServer::sendAll(SOCKET client, const std::string& data)
{
    for (size_t done = 0; done < data.size();) {
        const int sent =
            send(client, data.data() + done, static_cast<int>(std::min<size_t>(data.size() - done, 1 << 20)), 0);
        if (sent <= 0)
            return false;
        done += static_cast<size_t>(sent);
        bytesSent_ += static_cast<size_t>(sent);
    }
    return true;
}

void BenchServer::answer(SOCKET client)
{
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&kReceiveLimitMs),
               sizeof kReceiveLimitMs);
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, static_cast<size_t>(got));
    }
    bool gzip = false;
    const std::shared_ptr<const std::string> response = responseFor(request, gzip);
    // Counted before the last byte goes out: a client that reads to the end
    // of a Content-Length body is done the moment it arrives, and must find
    // its answer counted. An answer that could not be sent is taken back.
    const bool counted = response != kNotFound;
    if (counted) {
        ++answered_;
        gzipAnswered_ += gzip ? 1 : 0;
    }
    if (!sendAll(client, *response) && counted) {
        --answered_;
        gzipAnswered_ -= gzip ? 1 : 0;
    }
    shutdown(client, SD_SEND);
}

std::shared_ptr<const std::string> BenchServer::responseFor(const std::string& request, bool& gzip) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = responses_.find(pathOf(request));
    if (found == responses_.end())
        return kNotFound;
    gzip = found->second.gzip && gzipOn_ && acceptsGzip(request);
    return gzip ? found->second.gzip : found->second.plain;
}
