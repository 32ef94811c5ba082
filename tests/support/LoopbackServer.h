#pragma once
// A scripted HTTP server on 127.0.0.x (or ::1) port 80 (or another) inside the test process.
// Each connection runs on its own thread, so a silent one blocks no other.
#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/UniqueHandle.h"

struct ScriptedResponse {
    enum class Mode {
        Respond,  // send the chunks, then close
        Silent,   // read the request, never answer (until the client or the server gives up)
        Endless,  // send the chunks again and again until the client goes away
        Drip,     // send the chunks one byte at a time, dripIntervalMs apart, then close
        Reset,    // read the request, send the chunks, wait resetAfterMs, then abort (RST)
        StopAfter, // send the chunks, then stay silent without closing
        Tunnel     // a proxy's CONNECT: connect to the host:port it names, then pass bytes both ways
    };
    Mode mode = Mode::Respond;
    std::vector<std::string> chunks;
    uint32_t pauseBetweenChunksMs = 0;
    uint32_t dripIntervalMs = 100;
    uint32_t resetAfterMs = 0;
    // A request holding this text (an If-None-Match line, say) is answered
    // 304 Not Modified, after the same pause, instead of the chunks.
    std::string notModifiedIf;
};

// A complete response: status line, a Content-Type header, the empty line, the body.
ScriptedResponse httpResponse(const std::string& body, const std::string& status = "200 OK",
                              const std::string& httpVersion = "HTTP/1.0");
// The answer of a proxy that opens the tunnel a CONNECT asks for (served
// under the "host:port" the CONNECT line names; loopback hosts only).
ScriptedResponse tunnelResponse();
// Exactly these bytes, chunk by chunk (a short reply, no header end, a NUL byte...).
ScriptedResponse rawResponse(std::vector<std::string> chunks,
                             ScriptedResponse::Mode mode = ScriptedResponse::Mode::Respond);

// "PREFIX.N", N being `first` plus the running test's place in its suite: a
// fixture's server gets an address of its own in each test, as the shards of
// a program run one suite's tests in processes of their own at once, all on
// port 80.
std::string addressOfThisTest(const std::string& prefix, int first);

class LoopbackServer {
public:
    // Binds address:port (port 80 needs root on Linux); throws std::runtime_error when it cannot.
    explicit LoopbackServer(std::string address, uint16_t port = 80);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void serve(const std::string& path, ScriptedResponse response);
    void serve(const std::string& path, const std::string& body) { serve(path, httpResponse(body)); }
    // Answers by what each request says (a front end that refuses some requests).
    using Responder = std::function<ScriptedResponse(const std::string& request)>;
    void serve(const std::string& path, Responder responder);
    // Lets each request wait this long in the socket before it is read, so a large
    // request fills the buffers and the client has to send it in parts.
    void delayRequestReading(uint32_t ms) { readDelayMs_ = ms; }
    // Holds every answer until `count` requests have waited for theirs at once;
    // after limitMs they go out anyway, so a client that never gets there fails
    // rather than hangs.
    void holdAnswersUntilWaiting(size_t count, uint32_t limitMs);
    // The most requests read and not yet wholly answered at the same time so
    // far: how many exchanges the clients had under way together.
    size_t mostWaitingAtOnce() const { return mostWaiting_.load(); }
    size_t bytesSent() const { return bytesSent_.load(); }

    // Exact bytes of every request received, in order of arrival.
    std::vector<std::string> requests() const;
    size_t connectionCount() const { return connections_.load(); }
    // Connections whose handler has finished (the client closed, or the script ended).
    size_t finishedCount() const { return finished_.load(); }
    // Request bytes read so far, over all connections.
    size_t bytesReceived() const { return received_.load(); }
    // Times a send found the client's buffers full and had to wait.
    size_t stalledSends() const { return stalledSends_.load(); }
    // Wait until that many connections were accepted (or finished); false when
    // the limit passed first.
    bool waitForConnections(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10));
    bool waitForFinished(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Waits until `state` holds, reading it again at every change of the counters
    // above or of the requests; false when the limit passed first.
    bool waitUntil(const std::function<bool()>& state, std::chrono::milliseconds limit = std::chrono::seconds(10));

    const std::string& address() const { return address_; }
    // http://address[:port]path
    std::wstring url(const std::string& path) const;

private:
    void acceptLoop();
    void handle(SOCKET client);
    std::string readRequest(SOCKET client);
    ScriptedResponse scriptFor(const std::string& request) const;
    bool pause(uint32_t ms) const; // false when the server is stopping
    bool sendAll(SOCKET client, const char* data, size_t size) const;
    void waitForClientClose(SOCKET client) const;
    void tunnel(SOCKET client, const std::string& target) const;
    void awaitTurnToAnswer();
    void announce() const; // a counter changed, or the server stops

    std::string address_;
    uint16_t port_;
    UniqueSocket listener_;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> connections_{0};
    std::atomic<size_t> finished_{0};
    std::atomic<size_t> received_{0};
    mutable std::atomic<size_t> stalledSends_{0};
    std::atomic<uint32_t> readDelayMs_{0};
    std::atomic<size_t> waiting_{0};
    mutable std::atomic<size_t> bytesSent_{0};
    std::atomic<size_t> mostWaiting_{0};
    std::atomic<size_t> holdUntilWaiting_{0};
    std::atomic<uint32_t> holdLimitMs_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable size_t changes_ = 0; // under mutex_: what a waiter compares with
    std::map<std::string, ScriptedResponse> scripts_;
    std::map<std::string, Responder> responders_;
    std::vector<std::string> requests_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};
