#include "LoopbackServer.h"

#include "LoopbackListener.h"

#include <gtest/gtest.h>

#include <ws2tcpip.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int kSliceMs = 20;

std::string pathOf(const std::string& request)
{
    // "GET <path> HTTP/1.0"
    size_t start = request.find(' ');
    if (start == std::string::npos)
        return std::string();
    size_t end = request.find(' ', start + 1);
    return request.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
}

bool ready(SOCKET socket, int timeoutMs, bool forWriting)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &wait) > 0;
}

bool readable(SOCKET socket, int timeoutMs)
{
    return ready(socket, timeoutMs, false);
}

bool writable(SOCKET socket, int timeoutMs)
{
    return ready(socket, timeoutMs, true);
}

} // namespace

ScriptedResponse httpResponse(const std::string& body, const std::string& status, const std::string& httpVersion)
{
    ScriptedResponse response;
    response.chunks.push_back(httpVersion + " " + status + "\r\nContent-Type: text/xml\r\n\r\n" + body);
    return response;
}

std::string addressOfThisTest(const std::string& prefix, int first)
{
    const ::testing::TestInfo* running = ::testing::UnitTest::GetInstance()->current_test_info();
    const ::testing::TestSuite* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
    int place = 0;
    for (int i = 0; running != nullptr && suite != nullptr && i < suite->total_test_count(); ++i)
        if (std::string(suite->GetTestInfo(i)->name()) == running->name())
            place = i;
    return prefix + "." + std::to_string(first + place);
}

ScriptedResponse tunnelResponse()
{
    ScriptedResponse response;
    response.mode = ScriptedResponse::Mode::Tunnel;
    return response;
}

ScriptedResponse rawResponse(std::vector<std::string> chunks, ScriptedResponse::Mode mode)
{
    ScriptedResponse response;
    response.mode = mode;
    response.chunks = std::move(chunks);
    return response;
}

LoopbackServer::LoopbackServer(std::string address, uint16_t port) : address_(std::move(address)), port_(port)
{
    listener_.reset(listenOn(address_, port_));
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    stopping_ = true;
    announce();
    acceptor_.join();
    listener_.reset();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        workers.swap(workers_);
    }
    for (auto& worker : workers)
        worker.join();
    WSACleanup();
}

void LoopbackServer::serve(const std::string& path, ScriptedResponse response)
{
    std::lock_guard<std::mutex> hold(mutex_);
    scripts_[path] = std::move(response);
}

void LoopbackServer::serve(const std::string& path, Responder responder)
{
    std::lock_guard<std::mutex> hold(mutex_);
    responders_[path] = std::move(responder);
}

std::vector<std::string> LoopbackServer::requests() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return requests_;
}

std::wstring LoopbackServer::url(const std::string& path) const
{
    const std::string host = address_.find(':') == std::string::npos ? address_ : "[" + address_ + "]";
    std::string text = "http://" + host + (port_ == 80 ? "" : ":" + std::to_string(port_)) + path;
    return std::wstring(text.begin(), text.end());
}

void LoopbackServer::announce() const
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        ++changes_;
    }
    changed_.notify_all();
}

bool LoopbackServer::waitUntil(const std::function<bool()>& state, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        size_t seen = 0;
        {
            std::lock_guard<std::mutex> hold(mutex_);
            seen = changes_;
        }
        // Read outside the lock: the state may take it (requests()).
        if (state())
            return true;
        std::unique_lock<std::mutex> hold(mutex_);
        if (!changed_.wait_until(hold, until, [&] { return changes_ != seen; })) {
            hold.unlock();
            return state();
        }
    }
}

bool LoopbackServer::waitForConnections(size_t count, std::chrono::milliseconds limit)
{
    return waitUntil([&] { return connections_.load() >= count; }, limit);
}

bool LoopbackServer::waitForFinished(size_t count, std::chrono::milliseconds limit)
{
    return waitUntil([&] { return finished_.load() >= count; }, limit);
}

void LoopbackServer::holdAnswersUntilWaiting(size_t count, uint32_t limitMs)
{
    holdLimitMs_ = limitMs;
    holdUntilWaiting_ = count;
}

// A request waits from when it is read until its answer is complete, before
// the connection is shut: the client cannot be done with it any earlier.
void LoopbackServer::awaitTurnToAnswer()
{
    const size_t now = ++waiting_;
    size_t most = mostWaiting_.load();
    while (now > most && !mostWaiting_.compare_exchange_weak(most, now)) {
    }
    announce();
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait_for(hold, std::chrono::milliseconds(holdLimitMs_.load()),
                      [&] { return stopping_ || mostWaiting_ >= holdUntilWaiting_; });
}

void LoopbackServer::acceptLoop()
{
    while (!stopping_) {
        if (!readable(listener_.get(), kSliceMs))
            continue;
        SOCKET client = accept(listener_.get(), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        // Non-blocking: a client that stops reading must not hold the server's stop.
        u_long nonBlocking = 1;
        ioctlsocket(client, FIONBIO, &nonBlocking);
        ++connections_;
        announce();
        std::lock_guard<std::mutex> hold(mutex_);
        workers_.emplace_back([this, client] {
            handle(client);
            ++finished_;
            announce();
        });
    }
}

std::string LoopbackServer::readRequest(SOCKET client)
{
    std::string request;
    pause(readDelayMs_);
    char buffer[1 << 16];
    size_t searched = 0; // the header end is looked for in new bytes only
    while (!stopping_ && request.find("\r\n\r\n", searched) == std::string::npos) {
        searched = request.size() < 3 ? 0 : request.size() - 3;
        if (!readable(client, kSliceMs))
            continue;
        int got = recv(client, buffer, sizeof buffer, 0);
        if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            continue;
        if (got <= 0)
            break;
        request.append(buffer, got);
        received_ += static_cast<size_t>(got);
        announce();
    }
    {
        std::lock_guard<std::mutex> hold(mutex_);
        requests_.push_back(request);
    }
    announce();
    return request;
}

ScriptedResponse LoopbackServer::scriptFor(const std::string& request) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    const auto responder = responders_.find(pathOf(request));
    if (responder != responders_.end())
        return responder->second(request);
    auto it = scripts_.find(pathOf(request));
    if (it == scripts_.end())
        return httpResponse("not here", "404 Not Found");
    ScriptedResponse script = it->second;
    if (!script.notModifiedIf.empty() && !script.chunks.empty() &&
        request.find(script.notModifiedIf) != std::string::npos)
        script.chunks.back() = "HTTP/1.0 304 Not Modified\r\n\r\n";
    return script;
}

bool LoopbackServer::pause(uint32_t ms) const
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (stopping_)
            return false;
        Sleep(std::min<uint32_t>(kSliceMs, ms));
    }
    return !stopping_;
}

bool LoopbackServer::sendAll(SOCKET client, const char* data, size_t size) const
{
    while (size > 0) {
        if (stopping_)
            return false;
        if (!writable(client, kSliceMs)) {
            ++stalledSends_;
            announce();
            continue;
        }
        int sent = send(client, data, static_cast<int>(std::min<size_t>(size, 1 << 16)), 0);
        if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
        bytesSent_ += sent;
    }
    return true;
}

void LoopbackServer::waitForClientClose(SOCKET client) const
{
    char sink[256];
    while (!stopping_) {
        if (!readable(client, kSliceMs))
            continue;
        int got = recv(client, sink, sizeof sink, 0);
        if (got == 0 || (got == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK))
            return;
    }
}

void LoopbackServer::tunnel(SOCKET client, const std::string& target) const
{
    const size_t colon = target.rfind(':');
    std::string host = target.substr(0, colon);
    if (host.size() > 2 && host.front() == '[')
        host = host.substr(1, host.size() - 2);
    sockaddr_storage address;
    const int length = loopbackAddress(host, static_cast<uint16_t>(atoi(target.c_str() + colon + 1)), address);
    const UniqueSocket server(socket(address.ss_family, SOCK_STREAM, IPPROTO_TCP));
    if (!server || connect(server.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        const char refused[] = "HTTP/1.1 502 Bad Gateway\r\n\r\n";
        sendAll(client, refused, sizeof refused - 1);
        return;
    }
    const char established[] = "HTTP/1.1 200 Connection established\r\n\r\n";
    if (!sendAll(client, established, sizeof established - 1))
        return;
    char buffer[1 << 14];
    while (!stopping_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(client, &ready);
        FD_SET(server.get(), &ready);
        timeval slice{0, static_cast<long>(kSliceMs * 1000)};
        if (select(0, &ready, nullptr, nullptr, &slice) < 0)
            return;
        for (const SOCKET from : {client, server.get()}) {
            if (!FD_ISSET(from, &ready))
                continue;
            const int got = recv(from, buffer, sizeof buffer, 0);
            if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            if (got <= 0 || !sendAll(from == client ? server.get() : client, buffer, static_cast<size_t>(got)))
                return;
        }
    }
}

void LoopbackServer::handle(SOCKET client)
{
    using Mode = ScriptedResponse::Mode;
    const UniqueSocket owned(client);
    const std::string request = readRequest(client);
    const ScriptedResponse script = scriptFor(request);
    awaitTurnToAnswer();
    bool open = true;
    switch (script.mode) {
    case Mode::Respond:
    case Mode::StopAfter:
        for (size_t i = 0; open && i < script.chunks.size(); ++i) {
            if (i > 0)
                open = pause(script.pauseBetweenChunksMs);
            open = open && sendAll(client, script.chunks[i].data(), script.chunks[i].size());
        }
        if (script.mode == Mode::StopAfter)
            waitForClientClose(client);
        break;
    case Mode::Silent:
        waitForClientClose(client);
        break;
    case Mode::Tunnel:
        tunnel(client, pathOf(request));
        break;
    case Mode::Endless:
        while (open && !stopping_)
            for (size_t i = 0; open && i < script.chunks.size(); ++i)
                open = sendAll(client, script.chunks[i].data(), script.chunks[i].size());
        break;
    case Mode::Drip:
        for (const std::string& chunk : script.chunks)
            for (size_t i = 0; open && i < chunk.size(); ++i)
                open = sendAll(client, &chunk[i], 1) && pause(script.dripIntervalMs);
        break;
    case Mode::Reset: {
        for (const std::string& chunk : script.chunks)
            open = open && sendAll(client, chunk.data(), chunk.size());
        pause(script.resetAfterMs);
        linger abort{1, 0};
        setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
        break;
    }
    }
    --waiting_;
    if (script.mode != Mode::Reset)
        shutdown(client, SD_SEND);
}
