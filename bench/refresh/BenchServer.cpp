#include "BenchServer.h"

#include "LoopbackListener.h"

#include <ws2tcpip.h>

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

bool sendAll(SOCKET client, const std::string& data)
{
    for (size_t done = 0; done < data.size();) {
        const int sent =
            send(client, data.data() + done, static_cast<int>(std::min<size_t>(data.size() - done, 1 << 20)), 0);
        if (sent <= 0)
            return false;
        done += static_cast<size_t>(sent);
    }
    return true;
}

} // namespace

BenchServer::BenchServer(std::string address) : address_(std::move(address))
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
    body.insert(0, "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
                       "\r\n\r\n");
    auto response = std::make_shared<const std::string>(std::move(body));
    std::lock_guard<std::mutex> hold(mutex_);
    responses_[path] = std::move(response);
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
    const std::shared_ptr<const std::string> response = responseFor(request);
    if (sendAll(client, *response) && response != kNotFound)
        ++answered_;
    shutdown(client, SD_SEND);
}

std::shared_ptr<const std::string> BenchServer::responseFor(const std::string& request) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found = responses_.find(pathOf(request));
    return found == responses_.end() ? kNotFound : found->second;
}
